<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>analysis</name>
    <message>
        <source>%1 to %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>New connection: the link's state starts afresh.</source>
        <translation>New connection: the link's state starts afresh.</translation>
    </message>
    <message>
        <source>Bytes that start no {0} frame: skipped to the next frame start.</source>
        <translation>Bytes that start no {0} frame: skipped to the next frame start.</translation>
    </message>
    <message>
        <source>The datagram ends inside its {0} frame ({1} bytes left).</source>
        <translation>The datagram ends inside its {0} frame ({1} bytes left).</translation>
    </message>
    <message>
        <source>CRC {0}, {1} expected.</source>
        <translation>CRC {0}, {1} expected.</translation>
    </message>
    <message>
        <source>U-format with {0} function bits set, one expected.</source>
        <translation>U-format with {0} function bits set, one expected.</translation>
    </message>
    <message>
        <source>U-format with other bytes than 0 after its function.</source>
        <translation>U-format with other bytes than 0 after its function.</translation>
    </message>
    <message>
        <source>S-format with other bits than 0 beside its format.</source>
        <translation>S-format with other bits than 0 beside its format.</translation>
    </message>
    <message>
        <source>I-format without an ASDU.</source>
        <translation>I-format without an ASDU.</translation>
    </message>
    <message>
        <source>N(S) {0} where {1} was expected: {2} missing ({3}).</source>
        <translation>N(S) {0} where {1} was expected: {2} missing ({3}).</translation>
    </message>
    <message>
        <source>N(S) {0} again (expected {1}).</source>
        <translation>N(S) {0} again (expected {1}).</translation>
    </message>
    <message>
        <source>N(S) {0} after {1}: reported missing before.</source>
        <translation>N(S) {0} after {1}: reported missing before.</translation>
    </message>
    <message>
        <source>N(R) {0} acknowledges I-frames never sent (the next N(S) is {1}).</source>
        <translation>N(R) {0} acknowledges I-frames never sent (the next N(S) is {1}).</translation>
    </message>
    <message>
        <source>N(R) {0} below the N(R) {1} acknowledged before.</source>
        <translation>N(R) {0} below the N(R) {1} acknowledged before.</translation>
    </message>
    <message>
        <source>{0} I-frames sent and not acknowledged: more than k = {1}.</source>
        <translation>{0} I-frames sent and not acknowledged: more than k = {1}.</translation>
    </message>
    <message>
        <source>{0} I-frames received and not acknowledged: more than w = {1}.</source>
        <translation>{0} I-frames received and not acknowledged: more than w = {1}.</translation>
    </message>
    <message>
        <source>I-frame before STARTDT con: data transfer not started.</source>
        <translation>I-frame before STARTDT con: data transfer not started.</translation>
    </message>
    <message>
        <source>I-frame after STOPDT con: data transfer stopped.</source>
        <translation>I-frame after STOPDT con: data transfer stopped.</translation>
    </message>
    <message>
        <source>{0} act confirmed after {1}.</source>
        <translation>{0} act confirmed after {1}.</translation>
    </message>
    <message>
        <source>{0} con without a {0} act.</source>
        <translation>{0} con without a {0} act.</translation>
    </message>
    <message>
        <source>{0} con after {1}, past t1 = {2}.</source>
        <translation>{0} con after {1}, past t1 = {2}.</translation>
    </message>
    <message>
        <source>No {0} con within t1 = {1}.</source>
        <translation>No {0} con within t1 = {1}.</translation>
    </message>
    <message>
        <source>I-frame N(S) {0} not acknowledged within t1 = {1}.</source>
        <translation>I-frame N(S) {0} not acknowledged within t1 = {1}.</translation>
    </message>
    <message>
        <source>I-frame N(S) {0} received and not acknowledged within t2 = {1}.</source>
        <translation>I-frame N(S) {0} received and not acknowledged within t2 = {1}.</translation>
    </message>
    <message>
        <source>Link idle for more than t3 = {0} without a TESTFR act.</source>
        <translation>Link idle for more than t3 = {0} without a TESTFR act.</translation>
    </message>
    <message>
        <source>Time tag of common address {0} is {1} ahead of the arrival time (limit {2}).</source>
        <translation>Time tag of common address {0} is {1} ahead of the arrival time (limit {2}).</translation>
    </message>
    <message>
        <source>Time tag of common address {0} is {1} behind the arrival time (limit {2}).</source>
        <translation>Time tag of common address {0} is {1} behind the arrival time (limit {2}).</translation>
    </message>
    <message>
        <source>Time tag sent to common address {0} is {1} ahead of the sending time (limit {2}).</source>
        <translation>Time tag sent to common address {0} is {1} ahead of the sending time (limit {2}).</translation>
    </message>
    <message>
        <source>Time tag sent to common address {0} is {1} behind the sending time (limit {2}).</source>
        <translation>Time tag sent to common address {0} is {1} behind the sending time (limit {2}).</translation>
    </message>
    <message>
        <source>function {0} to unit {1}</source>
        <translation>function {0} to unit {1}</translation>
    </message>
    <message>
        <source>function {0} to unit {1} (transaction {2})</source>
        <translation>function {0} to unit {1} (transaction {2})</translation>
    </message>
    <message>
        <source>No response to {0} within {1}.</source>
        <translation>No response to {0} within {1}.</translation>
    </message>
    <message>
        <source>No response to {0}: another request followed after {1}.</source>
        <translation>No response to {0}: another request followed after {1}.</translation>
    </message>
    <message>
        <source>Response to {0} after {1}, past the time-out of {2}.</source>
        <translation>Response to {0} after {1}, past the time-out of {2}.</translation>
    </message>
    <message>
        <source>Response to no request: function {0} from unit {1}{2}.</source>
        <translation>Response to no request: function {0} from unit {1}{2}.</translation>
    </message>
    <message>
        <source> (transaction {0})</source>
        <translation> (transaction {0})</translation>
    </message>
    <message>
        <source>Response function {0} from unit {1} to a request of {2}.</source>
        <translation>Response function {0} from unit {1} to a request of {2}.</translation>
    </message>
    <message>
        <source>Exception {0} ({1}) to {2} after {3}.</source>
        <translation>Exception {0} ({1}) to {2} after {3}.</translation>
    </message>
    <message>
        <source>Request {0} asked again before its response.</source>
        <translation>Request {0} asked again before its response.</translation>
    </message>
    <message>
        <source>illegal function</source>
        <translation>illegal function</translation>
    </message>
    <message>
        <source>illegal data address</source>
        <translation>illegal data address</translation>
    </message>
    <message>
        <source>illegal data value</source>
        <translation>illegal data value</translation>
    </message>
    <message>
        <source>server device failure</source>
        <translation>server device failure</translation>
    </message>
    <message>
        <source>acknowledge</source>
        <translation>acknowledge</translation>
    </message>
    <message>
        <source>server device busy</source>
        <translation>server device busy</translation>
    </message>
    <message>
        <source>memory parity error</source>
        <translation>memory parity error</translation>
    </message>
    <message>
        <source>gateway path unavailable</source>
        <translation>gateway path unavailable</translation>
    </message>
    <message>
        <source>gateway target device failed to respond</source>
        <translation>gateway target device failed to respond</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>zh-CN</source>
        <translation>en</translation>
    </message>
    <message>
        <source>第%1行: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>一行超过 %1 字节</source>
        <translation>A line is longer than %1 bytes</translation>
    </message>
    <message>
        <source>引号后面的文字要用逗号隔开</source>
        <translation>Text after a closing quote must be separated by a comma</translation>
    </message>
    <message>
        <source>引号没有结束</source>
        <translation>A quotation mark is not closed</translation>
    </message>
    <message>
        <source>列 "%1" 出现两次</source>
        <translation>Column "%1" appears twice</translation>
    </message>
    <message>
        <source>标题行缺少列 "%1"</source>
        <translation>The heading line lacks the column "%1"</translation>
    </message>
    <message>
        <source>协议 "%1" 不认识 (IEC104, IEC101, MODBUS, DNP3, CDT)</source>
        <translation>Unknown protocol "%1" (IEC104, IEC101, MODBUS, DNP3, CDT)</translation>
    </message>
    <message>
        <source>类型 "%1" 不认识</source>
        <translation>Unknown type "%1"</translation>
    </message>
    <message>
        <source>站址 "%1" 不是 0 到 65535 的数</source>
        <translation>Station "%1" is not a number from 0 to 65535</translation>
    </message>
    <message>
        <source>点号 "%1" 不是 %2 的点号 (例如 %3)</source>
        <translation>Address "%1" is not a %2 point address (for example %3)</translation>
    </message>
    <message>
        <source>下限 "%1" 不是数</source>
        <translation>Low limit "%1" is not a number</translation>
    </message>
    <message>
        <source>上限 "%1" 不是数</source>
        <translation>High limit "%1" is not a number</translation>
    </message>
    <message>
        <source>下限大于上限</source>
        <translation>The low limit is above the high limit</translation>
    </message>
    <message>
        <source>这个点在前面已经有了</source>
        <translation>This point is already listed above</translation>
    </message>
    <message>
        <source>点表最多 %1 个点</source>
        <translation>A point list holds at most %1 points</translation>
    </message>
    <message>
        <source>没有标题行 (protocol,station,address,name,type,unit,low,high)</source>
        <translation>No heading line (protocol,station,address,name,type,unit,low,high)</translation>
    </message>
    <message>
        <source>%1: 不能打开 (不存在或不是文件)</source>
        <translation>%1: cannot open (missing or not a file)</translation>
    </message>
    <message>
        <source>%1: 不能打开</source>
        <translation>%1: cannot open</translation>
    </message>
    <message>
        <source>单点遥信</source>
        <translation>Single-point</translation>
    </message>
    <message>
        <source>双点遥信</source>
        <translation>Double-point</translation>
    </message>
    <message>
        <source>步位置</source>
        <translation>Step position</translation>
    </message>
    <message>
        <source>32位串</source>
        <translation>Bitstring 32</translation>
    </message>
    <message>
        <source>归一化值</source>
        <translation>Normalised value</translation>
    </message>
    <message>
        <source>标度化值</source>
        <translation>Scaled value</translation>
    </message>
    <message>
        <source>短浮点数</source>
        <translation>Short float</translation>
    </message>
    <message>
        <source>累计量</source>
        <translation>Integrated total</translation>
    </message>
    <message>
        <source>保护事件</source>
        <translation>Protection event</translation>
    </message>
    <message>
        <source>单点命令</source>
        <translation>Single command</translation>
    </message>
    <message>
        <source>双点命令</source>
        <translation>Double command</translation>
    </message>
    <message>
        <source>调节步命令</source>
        <translation>Regulating step command</translation>
    </message>
    <message>
        <source>设定值归一化</source>
        <translation>Set point, normalised</translation>
    </message>
    <message>
        <source>设定值标度化</source>
        <translation>Set point, scaled</translation>
    </message>
    <message>
        <source>设定值短浮点</source>
        <translation>Set point, short float</translation>
    </message>
    <message>
        <source>32位串命令</source>
        <translation>Bitstring 32 command</translation>
    </message>
    <message>
        <source>线圈</source>
        <translation>Coil</translation>
    </message>
    <message>
        <source>离散输入</source>
        <translation>Discrete input</translation>
    </message>
    <message>
        <source>输入寄存器</source>
        <translation>Input register</translation>
    </message>
    <message>
        <source>保持寄存器</source>
        <translation>Holding register</translation>
    </message>
    <message>
        <source>二进制输入</source>
        <translation>Binary input</translation>
    </message>
    <message>
        <source>双位输入</source>
        <translation>Double-bit input</translation>
    </message>
    <message>
        <source>二进制输出</source>
        <translation>Binary output</translation>
    </message>
    <message>
        <source>计数器</source>
        <translation>Counter</translation>
    </message>
    <message>
        <source>冻结计数器</source>
        <translation>Frozen counter</translation>
    </message>
    <message>
        <source>模拟量输入</source>
        <translation>Analog input</translation>
    </message>
    <message>
        <source>模拟量输出</source>
        <translation>Analog output</translation>
    </message>
    <message>
        <source>遥测</source>
        <translation>Measurement (YC)</translation>
    </message>
    <message>
        <source>遥信</source>
        <translation>Status (YX)</translation>
    </message>
    <message>
        <source>电度</source>
        <translation>Energy (DD)</translation>
    </message>
    <message>
        <source>监视</source>
        <translation>Monitoring</translation>
    </message>
    <message>
        <source>控制</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>激活</source>
        <translation>Activation</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>终止</source>
        <translation>Termination</translation>
    </message>
    <message>
        <source>否定</source>
        <translation>Negative</translation>
    </message>
    <message>
        <source>未收到</source>
        <translation>Not received</translation>
    </message>
    <message>
        <source>不在点表</source>
        <translation>Not in list</translation>
    </message>
    <message>
        <source>越限</source>
        <translation>Out of range</translation>
    </message>
    <message>
        <source>类型不符</source>
        <translation>Type mismatch</translation>
    </message>
    <message>
        <source>品质异常</source>
        <translation>Bad quality</translation>
    </message>
    <message>
        <source>协议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>站址</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>点号</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>品质</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>传送原因</source>
        <translation>Cause</translation>
    </message>
    <message>
        <source>时标</source>
        <translation>Time tag</translation>
    </message>
    <message>
        <source>到达时间</source>
        <translation>Arrival</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Updates</translation>
    </message>
    <message>
        <source>变化</source>
        <translation>Changes</translation>
    </message>
    <message>
        <source>首次</source>
        <translation>First</translation>
    </message>
    <message>
        <source>最近</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Marks</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>收到的点</source>
        <translation>Points received</translation>
    </message>
    <message>
        <source>点表中的点</source>
        <translation>Points in list</translation>
    </message>
    <message>
        <source>在点表中</source>
        <translation>On the list</translation>
    </message>
    <message>
        <source>超过点数上限未记录</source>
        <translation>Not recorded (point limit reached)</translation>
    </message>
    <message>
        <source>1 合</source>
        <translation>1 on</translation>
    </message>
    <message>
        <source>0 分</source>
        <translation>0 off</translation>
    </message>
    <message>
        <source>0 中间</source>
        <translation>0 intermediate</translation>
    </message>
    <message>
        <source>1 分</source>
        <translation>1 off</translation>
    </message>
    <message>
        <source>2 合</source>
        <translation>2 on</translation>
    </message>
    <message>
        <source>3 不定</source>
        <translation>3 indeterminate</translation>
    </message>
</context>
</TS>
