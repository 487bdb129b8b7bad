#include "platform/TextCodec.h"

#include <langinfo.h>
#include <locale.h>

namespace {

std::optional<TextCharset> g_chosenCharset;

const char* CharsetName(TextCharset charset)
{
    switch (charset) {
    case TextCharset::Gbk:
        return "GBK";
    case TextCharset::Gb18030:
        return "GB18030";
    case TextCharset::Utf8:
        break;
    }
    return "UTF-8";
}

bool SameName(QByteArrayView codeset, const char* name)
{
    return codeset.compare(QByteArrayView(name), Qt::CaseInsensitive) == 0;
}

} // namespace

TextCharset CharsetOfCodeset(QByteArrayView codeset)
{
    if (SameName(codeset, "GBK") || SameName(codeset, "GB2312") || SameName(codeset, "EUC-CN")
        || SameName(codeset, "CP936"))
        return TextCharset::Gbk;
    if (SameName(codeset, "GB18030"))
        return TextCharset::Gb18030;
    return TextCharset::Utf8;
}

QByteArray EnvironmentCodeset()
{
    // A locale object of its own, built from the environment as setlocale
    // would: the process's locale may have been switched to UTF-8 since.
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return {};
    QByteArray codeset(::nl_langinfo_l(CODESET, locale));
    ::freelocale(locale);
    return codeset;
}

TextCharset WrittenCharset()
{
    static const TextCharset fromLocale = CharsetOfCodeset(EnvironmentCodeset());
    return g_chosenCharset.value_or(fromLocale);
}

void SetWrittenCharset(std::optional<TextCharset> charset)
{
    g_chosenCharset = charset;
}

QStringEncoder WrittenTextEncoder()
{
    QStringEncoder encoder(CharsetName(WrittenCharset()), QStringEncoder::Flag::Stateless);
    if (!encoder.isValid())
        encoder = QStringEncoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    return encoder;
}

QStringDecoder NonUtf8TextDecoder()
{
    const char* name = WrittenCharset() == TextCharset::Gb18030 ? "GB18030" : "GBK";
    return QStringDecoder(name, QStringDecoder::Flag::Stateless);
}

bool IsValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

QString DecodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    QStringDecoder other = NonUtf8TextDecoder();
    if (other.isValid()) {
        return other.decode(bytes);
    }
    // Without a GBK converter the UTF-8 text with replacement characters is
    // the best that can be shown.
    return text;
}

QByteArray EncodeText(const QString& text)
{
    QStringEncoder encoder = WrittenTextEncoder();
    return encoder.encode(text);
}
