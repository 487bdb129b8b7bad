#pragma once

#include <array>
#include <cstdint>
#include <span>

// The check codes of the telecontrol protocols, as plain functions from bytes
// to an integer. How a code is appended to a frame is up to the caller.

// CRC-8 table, generator x^8 + x^2 + x + 1 (0x07), most significant bit first,
// initial value 0: entry i is the CRC of the single byte i.
extern const std::array<uint8_t, 256> CdtTable;

// Most-significant-bit-first CRC register for polynomial 0x3D65 after the byte
// i, starting from i * 256.
extern const std::array<uint16_t, 256> DnpTable;

// The check byte of a CDT group: CRC-8 (0x07, no reflection, initial 0) with
// the final complement.
[[nodiscard]] uint8_t CrcCdt(std::span<const uint8_t> bytes);

// CRC-16/MODBUS: reflected polynomial 0xA001, initial 0xFFFF, no final XOR.
[[nodiscard]] uint16_t CrcModbus(std::span<const uint8_t> bytes);

// CRC-16/DNP: polynomial 0x3D65, reflected input and output, initial 0, final
// XOR 0xFFFF.
[[nodiscard]] uint16_t CrcDnp(std::span<const uint8_t> bytes);
