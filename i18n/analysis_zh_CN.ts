<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>analysis</name>
    <message>
        <source>%1 to %2</source>
        <translation>%1 到 %2</translation>
    </message>
    <message>
        <source>New connection: the link's state starts afresh.</source>
        <translation>新连接：链路状态重新开始。</translation>
    </message>
    <message>
        <source>Bytes that start no {0} frame: skipped to the next frame start.</source>
        <translation>不是 {0} 帧开头的字节：跳到下一帧的开头。</translation>
    </message>
    <message>
        <source>The datagram ends inside its {0} frame ({1} bytes left).</source>
        <translation>数据报在其 {0} 帧内结束（缺 {1} 字节）。</translation>
    </message>
    <message>
        <source>CRC {0}, {1} expected.</source>
        <translation>CRC {0}，应为 {1}。</translation>
    </message>
    <message>
        <source>U-format with {0} function bits set, one expected.</source>
        <translation>U格式置了 {0} 个功能位，应为一个。</translation>
    </message>
    <message>
        <source>U-format with other bytes than 0 after its function.</source>
        <translation>U格式在功能之后的字节不为0。</translation>
    </message>
    <message>
        <source>S-format with other bits than 0 beside its format.</source>
        <translation>S格式在格式位之外的位不为0。</translation>
    </message>
    <message>
        <source>I-format without an ASDU.</source>
        <translation>I格式没有ASDU。</translation>
    </message>
    <message>
        <source>N(S) {0} where {1} was expected: {2} missing ({3}).</source>
        <translation>发送序列号 N(S) {0}，应为 {1}：缺 {2} 帧（{3}）。</translation>
    </message>
    <message>
        <source>N(S) {0} again (expected {1}).</source>
        <translation>发送序列号 N(S) {0} 重复（应为 {1}）。</translation>
    </message>
    <message>
        <source>N(S) {0} after {1}: reported missing before.</source>
        <translation>发送序列号 N(S) {0} 在 {1} 之后：此前已报缺失。</translation>
    </message>
    <message>
        <source>N(R) {0} acknowledges I-frames never sent (the next N(S) is {1}).</source>
        <translation>接收序列号 N(R) {0} 确认了从未发送的I帧（下一个 N(S) 为 {1}）。</translation>
    </message>
    <message>
        <source>N(R) {0} below the N(R) {1} acknowledged before.</source>
        <translation>接收序列号 N(R) {0} 小于此前确认的 N(R) {1}。</translation>
    </message>
    <message>
        <source>{0} I-frames sent and not acknowledged: more than k = {1}.</source>
        <translation>已发送未被确认的I帧 {0} 个：超过 k = {1}。</translation>
    </message>
    <message>
        <source>{0} I-frames received and not acknowledged: more than w = {1}.</source>
        <translation>已接收未确认的I帧 {0} 个：超过 w = {1}。</translation>
    </message>
    <message>
        <source>I-frame before STARTDT con: data transfer not started.</source>
        <translation>STARTDT确认之前的I帧：数据传输未启动。</translation>
    </message>
    <message>
        <source>I-frame after STOPDT con: data transfer stopped.</source>
        <translation>STOPDT确认之后的I帧：数据传输已停止。</translation>
    </message>
    <message>
        <source>{0} act confirmed after {1}.</source>
        <translation>{0} 生效在 {1} 后得到确认。</translation>
    </message>
    <message>
        <source>{0} con without a {0} act.</source>
        <translation>{0} 确认没有对应的 {0} 生效。</translation>
    </message>
    <message>
        <source>{0} con after {1}, past t1 = {2}.</source>
        <translation>{0} 确认在 {1} 之后，超过 t1 = {2}。</translation>
    </message>
    <message>
        <source>No {0} con within t1 = {1}.</source>
        <translation>t1 = {1} 内没有 {0} 确认。</translation>
    </message>
    <message>
        <source>I-frame N(S) {0} not acknowledged within t1 = {1}.</source>
        <translation>I帧 N(S) {0} 在 t1 = {1} 内未被确认。</translation>
    </message>
    <message>
        <source>I-frame N(S) {0} received and not acknowledged within t2 = {1}.</source>
        <translation>收到的I帧 N(S) {0} 在 t2 = {1} 内未确认。</translation>
    </message>
    <message>
        <source>Link idle for more than t3 = {0} without a TESTFR act.</source>
        <translation>链路空闲超过 t3 = {0}，没有 TESTFR 生效（测试帧）。</translation>
    </message>
    <message>
        <source>Time tag of common address {0} is {1} ahead of the arrival time (limit {2}).</source>
        <translation>公共地址 {0} 的时标比到达时间快 {1}（限值 {2}）。</translation>
    </message>
    <message>
        <source>Time tag of common address {0} is {1} behind the arrival time (limit {2}).</source>
        <translation>公共地址 {0} 的时标比到达时间慢 {1}（限值 {2}）。</translation>
    </message>
    <message>
        <source>Time tag sent to common address {0} is {1} ahead of the sending time (limit {2}).</source>
        <translation>发往公共地址 {0} 的时标比发送时间快 {1}（限值 {2}）。</translation>
    </message>
    <message>
        <source>Time tag sent to common address {0} is {1} behind the sending time (limit {2}).</source>
        <translation>发往公共地址 {0} 的时标比发送时间慢 {1}（限值 {2}）。</translation>
    </message>
    <message>
        <source>function {0} to unit {1}</source>
        <translation>发往单元 {1} 的功能码 {0}</translation>
    </message>
    <message>
        <source>function {0} to unit {1} (transaction {2})</source>
        <translation>发往单元 {1} 的功能码 {0}（事务 {2}）</translation>
    </message>
    <message>
        <source>No response to {0} within {1}.</source>
        <translation>{0} 在 {1} 内没有响应。</translation>
    </message>
    <message>
        <source>No response to {0}: another request followed after {1}.</source>
        <translation>{0} 没有响应：{1} 后又有另一个请求。</translation>
    </message>
    <message>
        <source>Response to {0} after {1}, past the time-out of {2}.</source>
        <translation>{0} 的响应在 {1} 之后，超过超时时间 {2}。</translation>
    </message>
    <message>
        <source>Response to no request: function {0} from unit {1}{2}.</source>
        <translation>没有请求的响应：单元 {1} 的功能码 {0}{2}。</translation>
    </message>
    <message>
        <source> (transaction {0})</source>
        <translation>（事务 {0}）</translation>
    </message>
    <message>
        <source>Response function {0} from unit {1} to a request of {2}.</source>
        <translation>单元 {1} 以功能码 {0} 响应 {2} 的请求。</translation>
    </message>
    <message>
        <source>Exception {0} ({1}) to {2} after {3}.</source>
        <translation>{2} 在 {3} 后得到异常响应 {0}（{1}）。</translation>
    </message>
    <message>
        <source>Request {0} asked again before its response.</source>
        <translation>请求 {0} 在响应之前再次发出。</translation>
    </message>
    <message>
        <source>illegal function</source>
        <translation>非法功能</translation>
    </message>
    <message>
        <source>illegal data address</source>
        <translation>非法数据地址</translation>
    </message>
    <message>
        <source>illegal data value</source>
        <translation>非法数据值</translation>
    </message>
    <message>
        <source>server device failure</source>
        <translation>服务器设备故障</translation>
    </message>
    <message>
        <source>acknowledge</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>server device busy</source>
        <translation>服务器设备忙</translation>
    </message>
    <message>
        <source>memory parity error</source>
        <translation>存储奇偶性差错</translation>
    </message>
    <message>
        <source>gateway path unavailable</source>
        <translation>网关路径不可用</translation>
    </message>
    <message>
        <source>gateway target device failed to respond</source>
        <translation>网关目标设备响应失败</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>、</source>
        <translation>、</translation>
    </message>
    <message>
        <source>zh-CN</source>
        <translation>zh-CN</translation>
    </message>
    <message>
        <source>第%1行: %2</source>
        <translation>第%1行: %2</translation>
    </message>
    <message>
        <source>一行超过 %1 字节</source>
        <translation>一行超过 %1 字节</translation>
    </message>
    <message>
        <source>引号后面的文字要用逗号隔开</source>
        <translation>引号后面的文字要用逗号隔开</translation>
    </message>
    <message>
        <source>引号没有结束</source>
        <translation>引号没有结束</translation>
    </message>
    <message>
        <source>列 "%1" 出现两次</source>
        <translation>列 "%1" 出现两次</translation>
    </message>
    <message>
        <source>标题行缺少列 "%1"</source>
        <translation>标题行缺少列 "%1"</translation>
    </message>
    <message>
        <source>协议 "%1" 不认识 (IEC104, IEC101, MODBUS, DNP3, CDT)</source>
        <translation>协议 "%1" 不认识 (IEC104, IEC101, MODBUS, DNP3, CDT)</translation>
    </message>
    <message>
        <source>类型 "%1" 不认识</source>
        <translation>类型 "%1" 不认识</translation>
    </message>
    <message>
        <source>站址 "%1" 不是 0 到 65535 的数</source>
        <translation>站址 "%1" 不是 0 到 65535 的数</translation>
    </message>
    <message>
        <source>点号 "%1" 不是 %2 的点号 (例如 %3)</source>
        <translation>点号 "%1" 不是 %2 的点号 (例如 %3)</translation>
    </message>
    <message>
        <source>下限 "%1" 不是数</source>
        <translation>下限 "%1" 不是数</translation>
    </message>
    <message>
        <source>上限 "%1" 不是数</source>
        <translation>上限 "%1" 不是数</translation>
    </message>
    <message>
        <source>下限大于上限</source>
        <translation>下限大于上限</translation>
    </message>
    <message>
        <source>这个点在前面已经有了</source>
        <translation>这个点在前面已经有了</translation>
    </message>
    <message>
        <source>点表最多 %1 个点</source>
        <translation>点表最多 %1 个点</translation>
    </message>
    <message>
        <source>没有标题行 (protocol,station,address,name,type,unit,low,high)</source>
        <translation>没有标题行 (protocol,station,address,name,type,unit,low,high)</translation>
    </message>
    <message>
        <source>%1: 不能打开 (不存在或不是文件)</source>
        <translation>%1: 不能打开 (不存在或不是文件)</translation>
    </message>
    <message>
        <source>%1: 不能打开</source>
        <translation>%1: 不能打开</translation>
    </message>
    <message>
        <source>单点遥信</source>
        <translation>单点遥信</translation>
    </message>
    <message>
        <source>双点遥信</source>
        <translation>双点遥信</translation>
    </message>
    <message>
        <source>步位置</source>
        <translation>步位置</translation>
    </message>
    <message>
        <source>32位串</source>
        <translation>32位串</translation>
    </message>
    <message>
        <source>归一化值</source>
        <translation>归一化值</translation>
    </message>
    <message>
        <source>标度化值</source>
        <translation>标度化值</translation>
    </message>
    <message>
        <source>短浮点数</source>
        <translation>短浮点数</translation>
    </message>
    <message>
        <source>累计量</source>
        <translation>累计量</translation>
    </message>
    <message>
        <source>保护事件</source>
        <translation>保护事件</translation>
    </message>
    <message>
        <source>单点命令</source>
        <translation>单点命令</translation>
    </message>
    <message>
        <source>双点命令</source>
        <translation>双点命令</translation>
    </message>
    <message>
        <source>调节步命令</source>
        <translation>调节步命令</translation>
    </message>
    <message>
        <source>设定值归一化</source>
        <translation>设定值归一化</translation>
    </message>
    <message>
        <source>设定值标度化</source>
        <translation>设定值标度化</translation>
    </message>
    <message>
        <source>设定值短浮点</source>
        <translation>设定值短浮点</translation>
    </message>
    <message>
        <source>32位串命令</source>
        <translation>32位串命令</translation>
    </message>
    <message>
        <source>线圈</source>
        <translation>线圈</translation>
    </message>
    <message>
        <source>离散输入</source>
        <translation>离散输入</translation>
    </message>
    <message>
        <source>输入寄存器</source>
        <translation>输入寄存器</translation>
    </message>
    <message>
        <source>保持寄存器</source>
        <translation>保持寄存器</translation>
    </message>
    <message>
        <source>二进制输入</source>
        <translation>二进制输入</translation>
    </message>
    <message>
        <source>双位输入</source>
        <translation>双位输入</translation>
    </message>
    <message>
        <source>二进制输出</source>
        <translation>二进制输出</translation>
    </message>
    <message>
        <source>计数器</source>
        <translation>计数器</translation>
    </message>
    <message>
        <source>冻结计数器</source>
        <translation>冻结计数器</translation>
    </message>
    <message>
        <source>模拟量输入</source>
        <translation>模拟量输入</translation>
    </message>
    <message>
        <source>模拟量输出</source>
        <translation>模拟量输出</translation>
    </message>
    <message>
        <source>遥测</source>
        <translation>遥测</translation>
    </message>
    <message>
        <source>遥信</source>
        <translation>遥信</translation>
    </message>
    <message>
        <source>电度</source>
        <translation>电度</translation>
    </message>
    <message>
        <source>监视</source>
        <translation>监视</translation>
    </message>
    <message>
        <source>控制</source>
        <translation>控制</translation>
    </message>
    <message>
        <source>激活</source>
        <translation>激活</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>终止</source>
        <translation>终止</translation>
    </message>
    <message>
        <source>否定</source>
        <translation>否定</translation>
    </message>
    <message>
        <source>未收到</source>
        <translation>未收到</translation>
    </message>
    <message>
        <source>不在点表</source>
        <translation>不在点表</translation>
    </message>
    <message>
        <source>越限</source>
        <translation>越限</translation>
    </message>
    <message>
        <source>类型不符</source>
        <translation>类型不符</translation>
    </message>
    <message>
        <source>品质异常</source>
        <translation>品质异常</translation>
    </message>
    <message>
        <source>协议</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>站址</source>
        <translation>站址</translation>
    </message>
    <message>
        <source>点号</source>
        <translation>点号</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>值</source>
        <translation>值</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>品质</source>
        <translation>品质</translation>
    </message>
    <message>
        <source>传送原因</source>
        <translation>传送原因</translation>
    </message>
    <message>
        <source>时标</source>
        <translation>时标</translation>
    </message>
    <message>
        <source>到达时间</source>
        <translation>到达时间</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>变化</source>
        <translation>变化</translation>
    </message>
    <message>
        <source>首次</source>
        <translation>首次</translation>
    </message>
    <message>
        <source>最近</source>
        <translation>最近</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>标记</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>收到的点</source>
        <translation>收到的点</translation>
    </message>
    <message>
        <source>点表中的点</source>
        <translation>点表中的点</translation>
    </message>
    <message>
        <source>在点表中</source>
        <translation>在点表中</translation>
    </message>
    <message>
        <source>超过点数上限未记录</source>
        <translation>超过点数上限未记录</translation>
    </message>
    <message>
        <source>1 合</source>
        <translation>1 合</translation>
    </message>
    <message>
        <source>0 分</source>
        <translation>0 分</translation>
    </message>
    <message>
        <source>0 中间</source>
        <translation>0 中间</translation>
    </message>
    <message>
        <source>1 分</source>
        <translation>1 分</translation>
    </message>
    <message>
        <source>2 合</source>
        <translation>2 合</translation>
    </message>
    <message>
        <source>3 不定</source>
        <translation>3 不定</translation>
    </message>
</context>
</TS>
