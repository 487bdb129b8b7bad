<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>decode</name>
    <message>
        <source>truncated: %1 of %2 bytes</source>
        <translation>截断：%1/%2 字节</translation>
    </message>
    <message>
        <source>important remote measurements (A frame)</source>
        <translation>重要遥测（A帧）</translation>
    </message>
    <message>
        <source>remote control selection</source>
        <translation>遥控选择</translation>
    </message>
    <message>
        <source>secondary remote measurements (B frame)</source>
        <translation>次要遥测（B帧）</translation>
    </message>
    <message>
        <source>remote control execution</source>
        <translation>遥控执行</translation>
    </message>
    <message>
        <source>general remote measurements (C frame)</source>
        <translation>一般遥测（C帧）</translation>
    </message>
    <message>
        <source>remote control cancellation</source>
        <translation>遥控撤销</translation>
    </message>
    <message>
        <source>remote signal status (D1 frame)</source>
        <translation>遥信状态（D1帧）</translation>
    </message>
    <message>
        <source>raise/lower selection</source>
        <translation>升降选择</translation>
    </message>
    <message>
        <source>energy pulse counts (D2 frame)</source>
        <translation>电能脉冲计数（D2帧）</translation>
    </message>
    <message>
        <source>raise/lower execution</source>
        <translation>升降执行</translation>
    </message>
    <message>
        <source>sequence of events records (E frame)</source>
        <translation>事件顺序记录（E帧）</translation>
    </message>
    <message>
        <source>raise/lower cancellation</source>
        <translation>升降撤销</translation>
    </message>
    <message>
        <source>setpoint command</source>
        <translation>设定命令</translation>
    </message>
    <message>
        <source>set the station clock</source>
        <translation>设置子站时钟</translation>
    </message>
    <message>
        <source>set the station clock correction</source>
        <translation>设置子站时钟校正值</translation>
    </message>
    <message>
        <source>read the station clock</source>
        <translation>召唤子站时钟</translation>
    </message>
    <message>
        <source>reset command</source>
        <translation>复归命令</translation>
    </message>
    <message>
        <source>broadcast command</source>
        <translation>广播命令</translation>
    </message>
    <message>
        <source>frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>remote control check-back</source>
        <translation>遥控返校</translation>
    </message>
    <message>
        <source>raise/lower check-back</source>
        <translation>升降返校</translation>
    </message>
    <message>
        <source>station status</source>
        <translation>子站工作状态</translation>
    </message>
    <message>
        <source>close</source>
        <translation>合</translation>
    </message>
    <message>
        <source>open</source>
        <translation>分</translation>
    </message>
    <message>
        <source>execute</source>
        <translation>执行</translation>
    </message>
    <message>
        <source>cancel</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>raise</source>
        <translation>升</translation>
    </message>
    <message>
        <source>lower</source>
        <translation>降</translation>
    </message>
    <message>
        <source>closed</source>
        <translation>合</translation>
    </message>
    <message>
        <source>Synchronisation word</source>
        <translation>同步字</translation>
    </message>
    <message>
        <source>Control word</source>
        <translation>控制字</translation>
    </message>
    <message>
        <source>Control byte</source>
        <translation>控制字节</translation>
    </message>
    <message>
        <source>Frame type</source>
        <translation>帧类别</translation>
    </message>
    <message>
        <source>Information words</source>
        <translation>信息字</translation>
    </message>
    <message>
        <source>Source station</source>
        <translation>源站址</translation>
    </message>
    <message>
        <source>Destination station</source>
        <translation>目的站址</translation>
    </message>
    <message>
        <source>Information word</source>
        <translation>信息字</translation>
    </message>
    <message>
        <source>Function code</source>
        <translation>功能码</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>Remote measurement</source>
        <translation>遥测</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Object</source>
        <translation>对象</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>重复</translation>
    </message>
    <message>
        <source>Pulse count</source>
        <translation>脉冲计数</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>Sequence of events record</source>
        <translation>事件顺序记录</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>遥信</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Station clock</source>
        <translation>子站时钟</translation>
    </message>
    <message>
        <source>reserved</source>
        <translation>备用</translation>
    </message>
    <message>
        <source>millisecond</source>
        <translation>毫秒</translation>
    </message>
    <message>
        <source>second</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>minute</source>
        <translation>分</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>时</translation>
    </message>
    <message>
        <source>day</source>
        <translation>日</translation>
    </message>
    <message>
        <source>month</source>
        <translation>月</translation>
    </message>
    <message>
        <source>year</source>
        <translation>年</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>帧</translation>
    </message>
    <message>
        <source>Sum</source>
        <translation>和校验</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>奇偶校验</translation>
    </message>
    <message>
        <source>Sum or parity</source>
        <translation>和或奇偶校验</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 字节</translation>
    </message>
    <message>
        <source>Unrecognised frame</source>
        <translation>无法识别的报文</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>Sum or parity frame</source>
        <translation>和校验或奇偶校验报文</translation>
    </message>
    <message>
        <source>Unrecognised</source>
        <translation>无法识别</translation>
    </message>
    <message>
        <source>not joined: no earlier frame of this window holds the segments before it</source>
        <translation>未拼接：本窗口中此前的报文没有它之前的分段</translation>
    </message>
    <message>
        <source>segment</source>
        <translation>分段</translation>
    </message>
    <message>
        <source>this frame&apos;s segment begins it</source>
        <translation>由本帧的分段开始</translation>
    </message>
    <message>
        <source>%1 bytes and their CRC</source>
        <translation>%1 字节及其CRC</translation>
    </message>
    <message>
        <source>%1 bytes after the last block</source>
        <translation>最后一块之后 %1 字节</translation>
    </message>
    <message>
        <source>Reset Link States</source>
        <translation>复位链路状态</translation>
    </message>
    <message>
        <source>Reset User Process</source>
        <translation>复位用户进程</translation>
    </message>
    <message>
        <source>Test Link States</source>
        <translation>测试链路状态</translation>
    </message>
    <message>
        <source>Confirmed User Data</source>
        <translation>需确认的用户数据</translation>
    </message>
    <message>
        <source>Unconfirmed User Data</source>
        <translation>无需确认的用户数据</translation>
    </message>
    <message>
        <source>Request Link Status</source>
        <translation>请求链路状态</translation>
    </message>
    <message>
        <source>Link Status</source>
        <translation>链路状态</translation>
    </message>
    <message>
        <source>Link Service Not Functioning</source>
        <translation>链路服务不工作</translation>
    </message>
    <message>
        <source>Link Service Not Used or Implemented</source>
        <translation>链路服务未使用或未实现</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>选择</translation>
    </message>
    <message>
        <source>Operate</source>
        <translation>执行</translation>
    </message>
    <message>
        <source>Direct Operate</source>
        <translation>直接执行</translation>
    </message>
    <message>
        <source>Direct Operate No Ack</source>
        <translation>直接执行（无确认）</translation>
    </message>
    <message>
        <source>Immediate Freeze</source>
        <translation>立即冻结</translation>
    </message>
    <message>
        <source>Immediate Freeze No Ack</source>
        <translation>立即冻结（无确认）</translation>
    </message>
    <message>
        <source>Freeze and Clear</source>
        <translation>冻结并清零</translation>
    </message>
    <message>
        <source>Freeze and Clear No Ack</source>
        <translation>冻结并清零（无确认）</translation>
    </message>
    <message>
        <source>Freeze with Time</source>
        <translation>带时间冻结</translation>
    </message>
    <message>
        <source>Freeze with Time No Ack</source>
        <translation>带时间冻结（无确认）</translation>
    </message>
    <message>
        <source>Cold Restart</source>
        <translation>冷启动</translation>
    </message>
    <message>
        <source>Warm Restart</source>
        <translation>热启动</translation>
    </message>
    <message>
        <source>Initialize Data</source>
        <translation>初始化数据</translation>
    </message>
    <message>
        <source>Initialize Application</source>
        <translation>初始化应用</translation>
    </message>
    <message>
        <source>Start Application</source>
        <translation>启动应用</translation>
    </message>
    <message>
        <source>Stop Application</source>
        <translation>停止应用</translation>
    </message>
    <message>
        <source>Save Configuration</source>
        <translation>保存配置</translation>
    </message>
    <message>
        <source>Enable Unsolicited</source>
        <translation>允许非请求响应</translation>
    </message>
    <message>
        <source>Disable Unsolicited</source>
        <translation>禁止非请求响应</translation>
    </message>
    <message>
        <source>Assign Class</source>
        <translation>分配类别</translation>
    </message>
    <message>
        <source>Delay Measure</source>
        <translation>延时测量</translation>
    </message>
    <message>
        <source>Record Current Time</source>
        <translation>记录当前时间</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Close File</source>
        <translation>关闭文件</translation>
    </message>
    <message>
        <source>Delete File</source>
        <translation>删除文件</translation>
    </message>
    <message>
        <source>Get File Info</source>
        <translation>获取文件信息</translation>
    </message>
    <message>
        <source>Authenticate File</source>
        <translation>文件认证</translation>
    </message>
    <message>
        <source>Abort File</source>
        <translation>中止文件</translation>
    </message>
    <message>
        <source>Activate Config</source>
        <translation>激活配置</translation>
    </message>
    <message>
        <source>Authenticate Request</source>
        <translation>认证请求</translation>
    </message>
    <message>
        <source>Authenticate Error</source>
        <translation>认证错误</translation>
    </message>
    <message>
        <source>Response</source>
        <translation>响应</translation>
    </message>
    <message>
        <source>Unsolicited Response</source>
        <translation>非请求响应</translation>
    </message>
    <message>
        <source>Authenticate Response</source>
        <translation>认证响应</translation>
    </message>
    <message>
        <source>from the outstation</source>
        <translation>来自子站</translation>
    </message>
    <message>
        <source>from the master</source>
        <translation>来自主站</translation>
    </message>
    <message>
        <source>secondary</source>
        <translation>从站</translation>
    </message>
    <message>
        <source>primary</source>
        <translation>主站</translation>
    </message>
    <message>
        <source>Device attributes</source>
        <translation>设备属性</translation>
    </message>
    <message>
        <source>Binary input</source>
        <translation>二进制输入</translation>
    </message>
    <message>
        <source>Binary input event</source>
        <translation>二进制输入事件</translation>
    </message>
    <message>
        <source>Double-bit binary input</source>
        <translation>双位二进制输入</translation>
    </message>
    <message>
        <source>Double-bit binary input event</source>
        <translation>双位二进制输入事件</translation>
    </message>
    <message>
        <source>Binary output</source>
        <translation>二进制输出</translation>
    </message>
    <message>
        <source>Binary output event</source>
        <translation>二进制输出事件</translation>
    </message>
    <message>
        <source>Binary command</source>
        <translation>二进制命令</translation>
    </message>
    <message>
        <source>Binary output command event</source>
        <translation>二进制输出命令事件</translation>
    </message>
    <message>
        <source>Counter</source>
        <translation>计数器</translation>
    </message>
    <message>
        <source>Frozen counter</source>
        <translation>冻结计数器</translation>
    </message>
    <message>
        <source>Counter event</source>
        <translation>计数器事件</translation>
    </message>
    <message>
        <source>Frozen counter event</source>
        <translation>冻结计数器事件</translation>
    </message>
    <message>
        <source>Analog input</source>
        <translation>模拟量输入</translation>
    </message>
    <message>
        <source>Analog input event</source>
        <translation>模拟量输入事件</translation>
    </message>
    <message>
        <source>Analog input deadband</source>
        <translation>模拟量输入死区</translation>
    </message>
    <message>
        <source>Analog output status</source>
        <translation>模拟量输出状态</translation>
    </message>
    <message>
        <source>Analog output</source>
        <translation>模拟量输出</translation>
    </message>
    <message>
        <source>Analog output event</source>
        <translation>模拟量输出事件</translation>
    </message>
    <message>
        <source>Time and date</source>
        <translation>时间和日期</translation>
    </message>
    <message>
        <source>Time and date common time of occurrence</source>
        <translation>时间和日期公共发生时间</translation>
    </message>
    <message>
        <source>Time delay</source>
        <translation>时间延迟</translation>
    </message>
    <message>
        <source>Class data</source>
        <translation>类别数据</translation>
    </message>
    <message>
        <source>File control</source>
        <translation>文件控制</translation>
    </message>
    <message>
        <source>Internal indications</source>
        <translation>内部指示</translation>
    </message>
    <message>
        <source>Octet string</source>
        <translation>八位位组串</translation>
    </message>
    <message>
        <source>Octet string event</source>
        <translation>八位位组串事件</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>认证</translation>
    </message>
    <message>
        <source>no prefix</source>
        <translation>无前缀</translation>
    </message>
    <message>
        <source>1-octet index</source>
        <translation>1字节索引</translation>
    </message>
    <message>
        <source>2-octet index</source>
        <translation>2字节索引</translation>
    </message>
    <message>
        <source>4-octet index</source>
        <translation>4字节索引</translation>
    </message>
    <message>
        <source>1-octet object size</source>
        <translation>1字节对象大小</translation>
    </message>
    <message>
        <source>2-octet object size</source>
        <translation>2字节对象大小</translation>
    </message>
    <message>
        <source>4-octet object size</source>
        <translation>4字节对象大小</translation>
    </message>
    <message>
        <source>1-octet start and stop</source>
        <translation>1字节起止索引</translation>
    </message>
    <message>
        <source>2-octet start and stop</source>
        <translation>2字节起止索引</translation>
    </message>
    <message>
        <source>4-octet start and stop</source>
        <translation>4字节起止索引</translation>
    </message>
    <message>
        <source>1-octet start and stop addresses</source>
        <translation>1字节起止地址</translation>
    </message>
    <message>
        <source>2-octet start and stop addresses</source>
        <translation>2字节起止地址</translation>
    </message>
    <message>
        <source>4-octet start and stop addresses</source>
        <translation>4字节起止地址</translation>
    </message>
    <message>
        <source>no range: all objects</source>
        <translation>无范围：全部对象</translation>
    </message>
    <message>
        <source>1-octet count</source>
        <translation>1字节数量</translation>
    </message>
    <message>
        <source>2-octet count</source>
        <translation>2字节数量</translation>
    </message>
    <message>
        <source>4-octet count</source>
        <translation>4字节数量</translation>
    </message>
    <message>
        <source>1-octet count, variable size</source>
        <translation>1字节数量，大小可变</translation>
    </message>
    <message>
        <source>success</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>timeout</source>
        <translation>超时</translation>
    </message>
    <message>
        <source>no select</source>
        <translation>未选择</translation>
    </message>
    <message>
        <source>format error</source>
        <translation>格式错误</translation>
    </message>
    <message>
        <source>not supported</source>
        <translation>不支持</translation>
    </message>
    <message>
        <source>already active</source>
        <translation>已在执行</translation>
    </message>
    <message>
        <source>hardware error</source>
        <translation>硬件错误</translation>
    </message>
    <message>
        <source>local</source>
        <translation>就地</translation>
    </message>
    <message>
        <source>too many objects</source>
        <translation>对象过多</translation>
    </message>
    <message>
        <source>not authorized</source>
        <translation>未授权</translation>
    </message>
    <message>
        <source>automation inhibit</source>
        <translation>自动化闭锁</translation>
    </message>
    <message>
        <source>processing limited</source>
        <translation>处理受限</translation>
    </message>
    <message>
        <source>out of range</source>
        <translation>超出范围</translation>
    </message>
    <message>
        <source>non-participating</source>
        <translation>不参与</translation>
    </message>
    <message>
        <source>undefined</source>
        <translation>未定义</translation>
    </message>
    <message>
        <source>Nul</source>
        <translation>空操作</translation>
    </message>
    <message>
        <source>Pulse On</source>
        <translation>脉冲合</translation>
    </message>
    <message>
        <source>Pulse Off</source>
        <translation>脉冲分</translation>
    </message>
    <message>
        <source>Latch On</source>
        <translation>保持合</translation>
    </message>
    <message>
        <source>Latch Off</source>
        <translation>保持分</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>合闸</translation>
    </message>
    <message>
        <source>Trip</source>
        <translation>跳闸</translation>
    </message>
    <message>
        <source>intermediate</source>
        <translation>中间态</translation>
    </message>
    <message>
        <source>off</source>
        <translation>分</translation>
    </message>
    <message>
        <source>on</source>
        <translation>合</translation>
    </message>
    <message>
        <source>indeterminate</source>
        <translation>不确定</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>milliseconds</source>
        <translation>毫秒</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>分</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>小时</translation>
    </message>
    <message>
        <source>days</source>
        <translation>天</translation>
    </message>
    <message>
        <source>weeks</source>
        <translation>周</translation>
    </message>
    <message>
        <source>days of the month</source>
        <translation>每月的日</translation>
    </message>
    <message>
        <source>months, same day of the month</source>
        <translation>月（每月同一日）</translation>
    </message>
    <message>
        <source>months, same day of the week</source>
        <translation>月（每月同一星期日）</translation>
    </message>
    <message>
        <source>seasons</source>
        <translation>季</translation>
    </message>
    <message>
        <source>Link header</source>
        <translation>链路层报头</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>起始</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>控制字</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Primary</source>
        <translation>启动站</translation>
    </message>
    <message>
        <source>Frame count bit</source>
        <translation>帧计数位</translation>
    </message>
    <message>
        <source>Frame count valid</source>
        <translation>帧计数有效</translation>
    </message>
    <message>
        <source>Data flow control</source>
        <translation>数据流控制</translation>
    </message>
    <message>
        <source>Destination</source>
        <translation>目的地址</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>源地址</translation>
    </message>
    <message>
        <source>Header CRC</source>
        <translation>报头CRC</translation>
    </message>
    <message>
        <source>Transport header</source>
        <translation>传输层报头</translation>
    </message>
    <message>
        <source>Final</source>
        <translation>最后分段</translation>
    </message>
    <message>
        <source>First</source>
        <translation>首个分段</translation>
    </message>
    <message>
        <source>Sequence</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Segment data</source>
        <translation>分段数据</translation>
    </message>
    <message>
        <source>Application header</source>
        <translation>应用层报头</translation>
    </message>
    <message>
        <source>Application control</source>
        <translation>应用层控制字</translation>
    </message>
    <message>
        <source>Unsolicited</source>
        <translation>非请求</translation>
    </message>
    <message>
        <source>Objects</source>
        <translation>对象</translation>
    </message>
    <message>
        <source>Data block</source>
        <translation>数据块</translation>
    </message>
    <message>
        <source>Extra bytes</source>
        <translation>多余字节</translation>
    </message>
    <message>
        <source>Fragment</source>
        <translation>片段</translation>
    </message>
    <message>
        <source>Object header</source>
        <translation>对象头</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>对象组</translation>
    </message>
    <message>
        <source>Variation</source>
        <translation>变体</translation>
    </message>
    <message>
        <source>Qualifier</source>
        <translation>限定词</translation>
    </message>
    <message>
        <source>Prefix code</source>
        <translation>前缀码</translation>
    </message>
    <message>
        <source>Range code</source>
        <translation>范围码</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>终止</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>数量</translation>
    </message>
    <message>
        <source>Object data</source>
        <translation>对象数据</translation>
    </message>
    <message>
        <source>Point</source>
        <translation>点</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>索引</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Flags</source>
        <translation>标志</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>值</translation>
    </message>
    <message>
        <source>Relative time</source>
        <translation>相对时间</translation>
    </message>
    <message>
        <source>Control code</source>
        <translation>控制码</translation>
    </message>
    <message>
        <source>On time</source>
        <translation>合时间</translation>
    </message>
    <message>
        <source>Off time</source>
        <translation>分时间</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>间隔</translation>
    </message>
    <message>
        <source>Units</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>All stations</source>
        <translation>全部站</translation>
    </message>
    <message>
        <source>Class 1 events</source>
        <translation>1类事件</translation>
    </message>
    <message>
        <source>Class 2 events</source>
        <translation>2类事件</translation>
    </message>
    <message>
        <source>Class 3 events</source>
        <translation>3类事件</translation>
    </message>
    <message>
        <source>Need time</source>
        <translation>需要对时</translation>
    </message>
    <message>
        <source>Local control</source>
        <translation>就地控制</translation>
    </message>
    <message>
        <source>Device trouble</source>
        <translation>设备故障</translation>
    </message>
    <message>
        <source>Device restart</source>
        <translation>设备重启</translation>
    </message>
    <message>
        <source>No function code support</source>
        <translation>不支持该功能码</translation>
    </message>
    <message>
        <source>Object unknown</source>
        <translation>对象未知</translation>
    </message>
    <message>
        <source>Parameter error</source>
        <translation>参数错误</translation>
    </message>
    <message>
        <source>Event buffer overflow</source>
        <translation>事件缓冲区溢出</translation>
    </message>
    <message>
        <source>Already executing</source>
        <translation>正在执行</translation>
    </message>
    <message>
        <source>Configuration corrupt</source>
        <translation>配置损坏</translation>
    </message>
    <message>
        <source>Reserved 2</source>
        <translation>备用2</translation>
    </message>
    <message>
        <source>Reserved 1</source>
        <translation>备用1</translation>
    </message>
    <message>
        <source>online</source>
        <translation>在线</translation>
    </message>
    <message>
        <source>restart</source>
        <translation>重启</translation>
    </message>
    <message>
        <source>comm lost</source>
        <translation>通信中断</translation>
    </message>
    <message>
        <source>remote forced</source>
        <translation>远方强制</translation>
    </message>
    <message>
        <source>local forced</source>
        <translation>就地强制</translation>
    </message>
    <message>
        <source>chatter filter</source>
        <translation>抖动过滤</translation>
    </message>
    <message>
        <source>state</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>rollover</source>
        <translation>翻转</translation>
    </message>
    <message>
        <source>discontinuity</source>
        <translation>不连续</translation>
    </message>
    <message>
        <source>over-range</source>
        <translation>超量程</translation>
    </message>
    <message>
        <source>reference error</source>
        <translation>参考错误</translation>
    </message>
    <message>
        <source>32-bit without time</source>
        <translation>32位不带时间</translation>
    </message>
    <message>
        <source>16-bit without time</source>
        <translation>16位不带时间</translation>
    </message>
    <message>
        <source>32-bit with time</source>
        <translation>32位带时间</translation>
    </message>
    <message>
        <source>16-bit with time</source>
        <translation>16位带时间</translation>
    </message>
    <message>
        <source>single-precision float without time</source>
        <translation>单精度浮点不带时间</translation>
    </message>
    <message>
        <source>double-precision float without time</source>
        <translation>双精度浮点不带时间</translation>
    </message>
    <message>
        <source>single-precision float with time</source>
        <translation>单精度浮点带时间</translation>
    </message>
    <message>
        <source>double-precision float with time</source>
        <translation>双精度浮点带时间</translation>
    </message>
    <message>
        <source>32-bit with flag</source>
        <translation>32位带标志</translation>
    </message>
    <message>
        <source>16-bit with flag</source>
        <translation>16位带标志</translation>
    </message>
    <message>
        <source>32-bit delta with flag</source>
        <translation>32位增量带标志</translation>
    </message>
    <message>
        <source>16-bit delta with flag</source>
        <translation>16位增量带标志</translation>
    </message>
    <message>
        <source>packed format</source>
        <translation>压缩格式</translation>
    </message>
    <message>
        <source>with flags</source>
        <translation>带标志</translation>
    </message>
    <message>
        <source>without time</source>
        <translation>不带时间</translation>
    </message>
    <message>
        <source>with absolute time</source>
        <translation>带绝对时间</translation>
    </message>
    <message>
        <source>with relative time</source>
        <translation>带相对时间</translation>
    </message>
    <message>
        <source>output status with flags</source>
        <translation>带标志的输出状态</translation>
    </message>
    <message>
        <source>with time</source>
        <translation>带时间</translation>
    </message>
    <message>
        <source>control relay output block</source>
        <translation>继电器输出控制块（CROB）</translation>
    </message>
    <message>
        <source>pattern control block</source>
        <translation>模式控制块</translation>
    </message>
    <message>
        <source>pattern mask</source>
        <translation>模式掩码</translation>
    </message>
    <message>
        <source>command status without time</source>
        <translation>命令状态不带时间</translation>
    </message>
    <message>
        <source>command status with time</source>
        <translation>命令状态带时间</translation>
    </message>
    <message>
        <source>32-bit without flag</source>
        <translation>32位不带标志</translation>
    </message>
    <message>
        <source>16-bit without flag</source>
        <translation>16位不带标志</translation>
    </message>
    <message>
        <source>32-bit delta without flag</source>
        <translation>32位增量不带标志</translation>
    </message>
    <message>
        <source>16-bit delta without flag</source>
        <translation>16位增量不带标志</translation>
    </message>
    <message>
        <source>32-bit with flag and time</source>
        <translation>32位带标志和时间</translation>
    </message>
    <message>
        <source>16-bit with flag and time</source>
        <translation>16位带标志和时间</translation>
    </message>
    <message>
        <source>32-bit delta with flag and time</source>
        <translation>32位增量带标志和时间</translation>
    </message>
    <message>
        <source>16-bit delta with flag and time</source>
        <translation>16位增量带标志和时间</translation>
    </message>
    <message>
        <source>single-precision float with flag</source>
        <translation>单精度浮点带标志</translation>
    </message>
    <message>
        <source>double-precision float with flag</source>
        <translation>双精度浮点带标志</translation>
    </message>
    <message>
        <source>16-bit</source>
        <translation>16位</translation>
    </message>
    <message>
        <source>32-bit</source>
        <translation>32位</translation>
    </message>
    <message>
        <source>single-precision float</source>
        <translation>单精度浮点</translation>
    </message>
    <message>
        <source>double-precision float</source>
        <translation>双精度浮点</translation>
    </message>
    <message>
        <source>absolute time</source>
        <translation>绝对时间</translation>
    </message>
    <message>
        <source>absolute time and interval</source>
        <translation>绝对时间和间隔</translation>
    </message>
    <message>
        <source>absolute time at last recorded time</source>
        <translation>最近记录时刻的绝对时间</translation>
    </message>
    <message>
        <source>indexed absolute time and long interval</source>
        <translation>带索引的绝对时间和长间隔</translation>
    </message>
    <message>
        <source>absolute time, synchronised</source>
        <translation>绝对时间，已同步</translation>
    </message>
    <message>
        <source>absolute time, unsynchronised</source>
        <translation>绝对时间，未同步</translation>
    </message>
    <message>
        <source>coarse</source>
        <translation>粗</translation>
    </message>
    <message>
        <source>fine</source>
        <translation>精</translation>
    </message>
    <message>
        <source>class 0 data</source>
        <translation>0类数据</translation>
    </message>
    <message>
        <source>class 1 data</source>
        <translation>1类数据</translation>
    </message>
    <message>
        <source>class 2 data</source>
        <translation>2类数据</translation>
    </message>
    <message>
        <source>class 3 data</source>
        <translation>3类数据</translation>
    </message>
    <message>
        <source>the qualifier&apos;s codes are reserved: the objects cannot be told apart</source>
        <translation>限定词的代码为备用：无法区分对象</translation>
    </message>
    <message>
        <source>the range is empty: the objects cannot be told apart</source>
        <translation>范围为空：无法区分对象</translation>
    </message>
    <message>
        <source>packed objects carry no prefix</source>
        <translation>压缩对象不带前缀</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>空</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 毫秒</translation>
    </message>
    <message>
        <source>reserved operation</source>
        <translation>备用操作</translation>
    </message>
    <message>
        <source>reserved trip-close code</source>
        <translation>备用跳合闸码</translation>
    </message>
    <message>
        <source>reset of remote link</source>
        <translation>复位远方链路</translation>
    </message>
    <message>
        <source>reset of user process</source>
        <translation>复位用户进程</translation>
    </message>
    <message>
        <source>test function for link</source>
        <translation>链路测试功能</translation>
    </message>
    <message>
        <source>user data, confirm expected</source>
        <translation>用户数据，需确认</translation>
    </message>
    <message>
        <source>user data, no reply expected</source>
        <translation>用户数据，无需回答</translation>
    </message>
    <message>
        <source>request for access demand</source>
        <translation>请求响应访问</translation>
    </message>
    <message>
        <source>request status of link</source>
        <translation>请求链路状态</translation>
    </message>
    <message>
        <source>request user data class 1</source>
        <translation>召唤1级用户数据</translation>
    </message>
    <message>
        <source>request user data class 2</source>
        <translation>召唤2级用户数据</translation>
    </message>
    <message>
        <source>ACK: positive acknowledgement</source>
        <translation>ACK：肯定认可</translation>
    </message>
    <message>
        <source>NACK: message not accepted, link busy</source>
        <translation>NACK：报文未收到，链路忙</translation>
    </message>
    <message>
        <source>user data</source>
        <translation>用户数据</translation>
    </message>
    <message>
        <source>NACK: requested data not available</source>
        <translation>NACK：无所召唤的数据</translation>
    </message>
    <message>
        <source>status of link or access demand</source>
        <translation>链路状态或要求访问</translation>
    </message>
    <message>
        <source>link service not functioning</source>
        <translation>链路服务未工作</translation>
    </message>
    <message>
        <source>link service not implemented</source>
        <translation>链路服务未完成</translation>
    </message>
    <message>
        <source>from the secondary (responding) station</source>
        <translation>来自从动站（响应站）</translation>
    </message>
    <message>
        <source>from the primary (initiating) station</source>
        <translation>来自启动站</translation>
    </message>
    <message>
        <source>FCB not valid</source>
        <translation>FCB无效</translation>
    </message>
    <message>
        <source>FCB valid</source>
        <translation>FCB有效</translation>
    </message>
    <message>
        <source>no class 1 data waiting</source>
        <translation>无1级用户数据</translation>
    </message>
    <message>
        <source>class 1 data waiting</source>
        <translation>有1级用户数据</translation>
    </message>
    <message>
        <source>further messages accepted</source>
        <translation>可以接收后续报文</translation>
    </message>
    <message>
        <source>further messages may overflow</source>
        <translation>后续报文可能溢出</translation>
    </message>
    <message>
        <source>Control field</source>
        <translation>控制域</translation>
    </message>
    <message>
        <source>Link address</source>
        <translation>链路地址</translation>
    </message>
    <message>
        <source>User data</source>
        <translation>用户数据</translation>
    </message>
    <message>
        <source>Link trailer</source>
        <translation>链路层报尾</translation>
    </message>
    <message>
        <source>Checksum</source>
        <translation>校验和</translation>
    </message>
    <message>
        <source>End</source>
        <translation>结束字符</translation>
    </message>
    <message>
        <source>%1 bytes after the end character</source>
        <translation>结束字符之后 %1 字节</translation>
    </message>
    <message>
        <source>0 bytes</source>
        <translation>0 字节</translation>
    </message>
    <message>
        <source>fixed length frame</source>
        <translation>固定帧长帧</translation>
    </message>
    <message>
        <source>variable length frame</source>
        <translation>可变帧长帧</translation>
    </message>
    <message>
        <source>a frame of at least 6 bytes</source>
        <translation>至少6字节的帧</translation>
    </message>
    <message>
        <source>a frame of at most 261 bytes</source>
        <translation>至多261字节的帧</translation>
    </message>
    <message>
        <source>%1 bytes, not an ASDU of the set sizes</source>
        <translation>%1 字节，不是按所设长度的ASDU</translation>
    </message>
    <message>
        <source>truncated: the user data has %1 of %2 bytes</source>
        <translation>截断：用户数据有 %1/%2 字节</translation>
    </message>
    <message>
        <source>single character</source>
        <translation>单个字符</translation>
    </message>
    <message>
        <source>E5 single character: positive acknowledgement</source>
        <translation>E5单个字符：肯定认可</translation>
    </message>
    <message>
        <source>STARTDT act</source>
        <translation>STARTDT生效（启动数据传输）</translation>
    </message>
    <message>
        <source>STARTDT con</source>
        <translation>STARTDT确认</translation>
    </message>
    <message>
        <source>STOPDT act</source>
        <translation>STOPDT生效（停止数据传输）</translation>
    </message>
    <message>
        <source>STOPDT con</source>
        <translation>STOPDT确认</translation>
    </message>
    <message>
        <source>TESTFR act</source>
        <translation>TESTFR生效（测试帧）</translation>
    </message>
    <message>
        <source>TESTFR con</source>
        <translation>TESTFR确认</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>格式</translation>
    </message>
    <message>
        <source>Function</source>
        <translation>功能</translation>
    </message>
    <message>
        <source>I-format, N(S)=%1 N(R)=%2</source>
        <translation>I格式，N(S)=%1 N(R)=%2</translation>
    </message>
    <message>
        <source>S-format, N(R)=%1</source>
        <translation>S格式，N(R)=%1</translation>
    </message>
    <message>
        <source>U-format, %1</source>
        <translation>U格式，%1</translation>
    </message>
    <message>
        <source>I-format (numbered information transfer)</source>
        <translation>I格式（编号的信息传输）</translation>
    </message>
    <message>
        <source>S-format (numbered supervisory functions)</source>
        <translation>S格式（编号的监视功能）</translation>
    </message>
    <message>
        <source>U-format (unnumbered control functions)</source>
        <translation>U格式（未编号的控制功能）</translation>
    </message>
    <message>
        <source>one function bit</source>
        <translation>一个功能位</translation>
    </message>
    <message>
        <source>%1 bytes after an S- or U-format APCI</source>
        <translation>S或U格式APCI之后 %1 字节</translation>
    </message>
    <message>
        <source>not used</source>
        <translation>未用</translation>
    </message>
    <message>
        <source>periodic, cyclic</source>
        <translation>周期、循环</translation>
    </message>
    <message>
        <source>background scan</source>
        <translation>背景扫描</translation>
    </message>
    <message>
        <source>spontaneous</source>
        <translation>突发（自发）</translation>
    </message>
    <message>
        <source>initialised</source>
        <translation>初始化</translation>
    </message>
    <message>
        <source>request or requested</source>
        <translation>请求或被请求</translation>
    </message>
    <message>
        <source>activation</source>
        <translation>激活</translation>
    </message>
    <message>
        <source>activation confirmation</source>
        <translation>激活确认</translation>
    </message>
    <message>
        <source>deactivation</source>
        <translation>停止激活</translation>
    </message>
    <message>
        <source>deactivation confirmation</source>
        <translation>停止激活确认</translation>
    </message>
    <message>
        <source>activation termination</source>
        <translation>激活终止</translation>
    </message>
    <message>
        <source>return information caused by a remote command</source>
        <translation>远方命令引起的返送信息</translation>
    </message>
    <message>
        <source>return information caused by a local command</source>
        <translation>当地命令引起的返送信息</translation>
    </message>
    <message>
        <source>file transfer</source>
        <translation>文件传输</translation>
    </message>
    <message>
        <source>interrogated by station interrogation</source>
        <translation>响应站召唤</translation>
    </message>
    <message>
        <source>requested by general counter request</source>
        <translation>响应计数量站总召唤</translation>
    </message>
    <message>
        <source>unknown type identification</source>
        <translation>未知的类型标识</translation>
    </message>
    <message>
        <source>unknown cause of transmission</source>
        <translation>未知的传送原因</translation>
    </message>
    <message>
        <source>unknown common address of ASDU</source>
        <translation>未知的应用服务数据单元公共地址</translation>
    </message>
    <message>
        <source>unknown information object address</source>
        <translation>未知的信息对象地址</translation>
    </message>
    <message>
        <source>each object with its own address</source>
        <translation>每个信息元素各有地址</translation>
    </message>
    <message>
        <source>one address, objects at consecutive addresses</source>
        <translation>单个地址，信息元素地址顺序排列</translation>
    </message>
    <message>
        <source>positive confirmation</source>
        <translation>肯定确认</translation>
    </message>
    <message>
        <source>negative confirmation</source>
        <translation>否定确认</translation>
    </message>
    <message>
        <source>no test</source>
        <translation>未试验</translation>
    </message>
    <message>
        <source>test</source>
        <translation>试验</translation>
    </message>
    <message>
        <source>transient</source>
        <translation>瞬变状态</translation>
    </message>
    <message>
        <source>CY carry</source>
        <translation>CY 进位</translation>
    </message>
    <message>
        <source>CA adjusted</source>
        <translation>CA 计数量被调整</translation>
    </message>
    <message>
        <source>GEN substituted</source>
        <translation>GEN 被替代</translation>
    </message>
    <message>
        <source>Mon</source>
        <translation>周一</translation>
    </message>
    <message>
        <source>Tue</source>
        <translation>周二</translation>
    </message>
    <message>
        <source>Wed</source>
        <translation>周三</translation>
    </message>
    <message>
        <source>Thu</source>
        <translation>周四</translation>
    </message>
    <message>
        <source>Fri</source>
        <translation>周五</translation>
    </message>
    <message>
        <source>Sat</source>
        <translation>周六</translation>
    </message>
    <message>
        <source>Sun</source>
        <translation>周日</translation>
    </message>
    <message>
        <source>no additional definition</source>
        <translation>无另外的定义</translation>
    </message>
    <message>
        <source>short pulse duration</source>
        <translation>短脉冲持续时间</translation>
    </message>
    <message>
        <source>long pulse duration</source>
        <translation>长脉冲持续时间</translation>
    </message>
    <message>
        <source>persistent output</source>
        <translation>持续输出</translation>
    </message>
    <message>
        <source>select</source>
        <translation>选择</translation>
    </message>
    <message>
        <source>indeterminate or intermediate</source>
        <translation>不确定或中间状态</translation>
    </message>
    <message>
        <source>not permitted</source>
        <translation>不允许</translation>
    </message>
    <message>
        <source>next step lower</source>
        <translation>降一步</translation>
    </message>
    <message>
        <source>next step higher</source>
        <translation>升一步</translation>
    </message>
    <message>
        <source>local power switch on</source>
        <translation>当地电源合上</translation>
    </message>
    <message>
        <source>local manual reset</source>
        <translation>当地手动复位</translation>
    </message>
    <message>
        <source>remote reset</source>
        <translation>远方复位</translation>
    </message>
    <message>
        <source>local parameters unchanged</source>
        <translation>当地参数未改变</translation>
    </message>
    <message>
        <source>after change of local parameters</source>
        <translation>当地参数改变后</translation>
    </message>
    <message>
        <source>station interrogation</source>
        <translation>站召唤（总召唤）</translation>
    </message>
    <message>
        <source>interrogation of group 1</source>
        <translation>第1组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 2</source>
        <translation>第2组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 3</source>
        <translation>第3组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 4</source>
        <translation>第4组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 5</source>
        <translation>第5组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 6</source>
        <translation>第6组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 7</source>
        <translation>第7组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 8</source>
        <translation>第8组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 9</source>
        <translation>第9组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 10</source>
        <translation>第10组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 11</source>
        <translation>第11组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 12</source>
        <translation>第12组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 13</source>
        <translation>第13组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 14</source>
        <translation>第14组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 15</source>
        <translation>第15组召唤</translation>
    </message>
    <message>
        <source>interrogation of group 16</source>
        <translation>第16组召唤</translation>
    </message>
    <message>
        <source>no counter read</source>
        <translation>没请求计数量</translation>
    </message>
    <message>
        <source>group 1 counter</source>
        <translation>请求计数量第1组</translation>
    </message>
    <message>
        <source>group 2 counter</source>
        <translation>请求计数量第2组</translation>
    </message>
    <message>
        <source>group 3 counter</source>
        <translation>请求计数量第3组</translation>
    </message>
    <message>
        <source>group 4 counter</source>
        <translation>请求计数量第4组</translation>
    </message>
    <message>
        <source>general counter</source>
        <translation>总的请求计数量</translation>
    </message>
    <message>
        <source>read</source>
        <translation>读</translation>
    </message>
    <message>
        <source>freeze without reset</source>
        <translation>冻结不带复位</translation>
    </message>
    <message>
        <source>freeze with reset</source>
        <translation>冻结带复位</translation>
    </message>
    <message>
        <source>reset</source>
        <translation>复位</translation>
    </message>
    <message>
        <source>general reset of process</source>
        <translation>进程的总复位</translation>
    </message>
    <message>
        <source>reset of pending information with time tag of the event buffer</source>
        <translation>复位事件缓冲区等待处理的带时标的信息</translation>
    </message>
    <message>
        <source>threshold value</source>
        <translation>门限值</translation>
    </message>
    <message>
        <source>smoothing factor</source>
        <translation>平滑系数（滤波时间常数）</translation>
    </message>
    <message>
        <source>low limit for transmission</source>
        <translation>传送测量值的下限</translation>
    </message>
    <message>
        <source>high limit for transmission</source>
        <translation>传送测量值的上限</translation>
    </message>
    <message>
        <source>LPC unchanged</source>
        <translation>LPC 未改变</translation>
    </message>
    <message>
        <source>LPC changed</source>
        <translation>LPC 改变</translation>
    </message>
    <message>
        <source>in operation</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>not in operation</source>
        <translation>未运行</translation>
    </message>
    <message>
        <source>act/deact of the previously loaded parameters</source>
        <translation>激活/停止激活之前装载的参数</translation>
    </message>
    <message>
        <source>act/deact of the parameter of the addressed object</source>
        <translation>激活/停止激活所寻址信息对象的参数</translation>
    </message>
    <message>
        <source>act/deact of persistent cyclic or periodic transmission of the addressed object</source>
        <translation>激活/停止激活所寻址信息对象的持续循环或周期传输</translation>
    </message>
    <message>
        <source>Type identification</source>
        <translation>类型标识</translation>
    </message>
    <message>
        <source>Variable structure qualifier</source>
        <translation>可变结构限定词</translation>
    </message>
    <message>
        <source>Number of objects</source>
        <translation>信息对象数目</translation>
    </message>
    <message>
        <source>Cause of transmission</source>
        <translation>传送原因</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>试验</translation>
    </message>
    <message>
        <source>Originator address</source>
        <translation>源发站地址</translation>
    </message>
    <message>
        <source>Common address</source>
        <translation>公共地址</translation>
    </message>
    <message>
        <source>Information objects</source>
        <translation>信息对象</translation>
    </message>
    <message>
        <source>Information object</source>
        <translation>信息对象</translation>
    </message>
    <message>
        <source>Information object address</source>
        <translation>信息对象地址</translation>
    </message>
    <message>
        <source>Information elements</source>
        <translation>信息元素</translation>
    </message>
    <message>
        <source>Bitstring</source>
        <translation>32比特串</translation>
    </message>
    <message>
        <source>Normalised value</source>
        <translation>归一化值</translation>
    </message>
    <message>
        <source>Scaled value</source>
        <translation>标度化值</translation>
    </message>
    <message>
        <source>Short floating point</source>
        <translation>短浮点数</translation>
    </message>
    <message>
        <source>Counter reading</source>
        <translation>计数量读数</translation>
    </message>
    <message>
        <source>Counter sequence</source>
        <translation>计数量顺序记号</translation>
    </message>
    <message>
        <source>CP16Time2a</source>
        <translation>CP16Time2a</translation>
    </message>
    <message>
        <source>Elapsed time (CP16Time2a)</source>
        <translation>经过时间（CP16Time2a）</translation>
    </message>
    <message>
        <source>CP24Time2a</source>
        <translation>CP24Time2a</translation>
    </message>
    <message>
        <source>CP56Time2a</source>
        <translation>CP56Time2a</translation>
    </message>
    <message>
        <source>Fixed test pattern</source>
        <translation>固定测试字</translation>
    </message>
    <message>
        <source>Test sequence counter</source>
        <translation>测试顺序计数器</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>品质描述词</translation>
    </message>
    <message>
        <source>good</source>
        <translation>良好</translation>
    </message>
    <message>
        <source>Start events</source>
        <translation>启动事件</translation>
    </message>
    <message>
        <source>Output circuits</source>
        <translation>输出电路</translation>
    </message>
    <message>
        <source>Milliseconds</source>
        <translation>毫秒</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>分</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>年</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>月</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>日</translation>
    </message>
    <message>
        <source>Day of week</source>
        <translation>星期</translation>
    </message>
    <message>
        <source>Hour</source>
        <translation>时</translation>
    </message>
    <message>
        <source>specific use</source>
        <translation>专用</translation>
    </message>
    <message>
        <source>Cause of initialisation</source>
        <translation>初始化原因</translation>
    </message>
    <message>
        <source>Change of local parameters</source>
        <translation>当地参数改变</translation>
    </message>
    <message>
        <source>single-point information</source>
        <translation>单点信息</translation>
    </message>
    <message>
        <source>single-point information with time tag</source>
        <translation>带时标的单点信息</translation>
    </message>
    <message>
        <source>double-point information</source>
        <translation>双点信息</translation>
    </message>
    <message>
        <source>double-point information with time tag</source>
        <translation>带时标的双点信息</translation>
    </message>
    <message>
        <source>step position information</source>
        <translation>步位置信息</translation>
    </message>
    <message>
        <source>step position information with time tag</source>
        <translation>带时标的步位置信息</translation>
    </message>
    <message>
        <source>bitstring of 32 bit</source>
        <translation>32比特串</translation>
    </message>
    <message>
        <source>bitstring of 32 bit with time tag</source>
        <translation>带时标的32比特串</translation>
    </message>
    <message>
        <source>measured value, normalised value</source>
        <translation>测量值，归一化值</translation>
    </message>
    <message>
        <source>measured value, normalised value with time tag</source>
        <translation>测量值，带时标的归一化值</translation>
    </message>
    <message>
        <source>measured value, scaled value</source>
        <translation>测量值，标度化值</translation>
    </message>
    <message>
        <source>measured value, scaled value with time tag</source>
        <translation>测量值，带时标的标度化值</translation>
    </message>
    <message>
        <source>measured value, short floating point number</source>
        <translation>测量值，短浮点数</translation>
    </message>
    <message>
        <source>measured value, short floating point number with time tag</source>
        <translation>测量值，带时标的短浮点数</translation>
    </message>
    <message>
        <source>integrated totals</source>
        <translation>累计量</translation>
    </message>
    <message>
        <source>integrated totals with time tag</source>
        <translation>带时标的累计量</translation>
    </message>
    <message>
        <source>event of protection equipment with time tag</source>
        <translation>带时标的继电保护设备事件</translation>
    </message>
    <message>
        <source>packed start events of protection equipment with time tag</source>
        <translation>带时标的继电保护设备成组启动事件</translation>
    </message>
    <message>
        <source>packed output circuit information of protection equipment with time tag</source>
        <translation>带时标的继电保护设备成组输出电路信息</translation>
    </message>
    <message>
        <source>packed single-point information with status change detection</source>
        <translation>带变位检出的成组单点信息</translation>
    </message>
    <message>
        <source>measured value, normalised value without quality descriptor</source>
        <translation>测量值，不带品质描述词的归一化值</translation>
    </message>
    <message>
        <source>single-point information with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的单点信息</translation>
    </message>
    <message>
        <source>double-point information with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的双点信息</translation>
    </message>
    <message>
        <source>step position information with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的步位置信息</translation>
    </message>
    <message>
        <source>bitstring of 32 bit with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的32比特串</translation>
    </message>
    <message>
        <source>measured value, normalised value with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的测量值，归一化值</translation>
    </message>
    <message>
        <source>measured value, scaled value with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的测量值，标度化值</translation>
    </message>
    <message>
        <source>measured value, short floating point number with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的测量值，短浮点数</translation>
    </message>
    <message>
        <source>integrated totals with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的累计量</translation>
    </message>
    <message>
        <source>event of protection equipment with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的继电保护设备事件</translation>
    </message>
    <message>
        <source>packed start events of protection equipment with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的继电保护设备成组启动事件</translation>
    </message>
    <message>
        <source>packed output circuit information of protection equipment with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的继电保护设备成组输出电路信息</translation>
    </message>
    <message>
        <source>single command</source>
        <translation>单命令</translation>
    </message>
    <message>
        <source>double command</source>
        <translation>双命令</translation>
    </message>
    <message>
        <source>regulating step command</source>
        <translation>调节步命令</translation>
    </message>
    <message>
        <source>set point command, normalised value</source>
        <translation>设定值命令，归一化值</translation>
    </message>
    <message>
        <source>set point command, scaled value</source>
        <translation>设定值命令，标度化值</translation>
    </message>
    <message>
        <source>set point command, short floating point number</source>
        <translation>设定值命令，短浮点数</translation>
    </message>
    <message>
        <source>single command with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的单命令</translation>
    </message>
    <message>
        <source>double command with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的双命令</translation>
    </message>
    <message>
        <source>regulating step command with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的调节步命令</translation>
    </message>
    <message>
        <source>set point command, normalised value with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的设定值命令，归一化值</translation>
    </message>
    <message>
        <source>set point command, scaled value with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的设定值命令，标度化值</translation>
    </message>
    <message>
        <source>set point command, short floating point number with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的设定值命令，短浮点数</translation>
    </message>
    <message>
        <source>end of initialisation</source>
        <translation>初始化结束</translation>
    </message>
    <message>
        <source>interrogation command</source>
        <translation>总召唤命令</translation>
    </message>
    <message>
        <source>counter interrogation command</source>
        <translation>计数量召唤命令</translation>
    </message>
    <message>
        <source>read command</source>
        <translation>读命令</translation>
    </message>
    <message>
        <source>clock synchronisation command</source>
        <translation>时钟同步命令</translation>
    </message>
    <message>
        <source>test command</source>
        <translation>测试命令</translation>
    </message>
    <message>
        <source>reset process command</source>
        <translation>复位进程命令</translation>
    </message>
    <message>
        <source>delay acquisition command</source>
        <translation>延时获得命令</translation>
    </message>
    <message>
        <source>test command with time tag CP56Time2a</source>
        <translation>带CP56Time2a时标的测试命令</translation>
    </message>
    <message>
        <source>parameter of measured value, normalised value</source>
        <translation>测量值参数，归一化值</translation>
    </message>
    <message>
        <source>parameter of measured value, scaled value</source>
        <translation>测量值参数，标度化值</translation>
    </message>
    <message>
        <source>parameter of measured value, short floating point number</source>
        <translation>测量值参数，短浮点数</translation>
    </message>
    <message>
        <source>parameter activation</source>
        <translation>参数激活</translation>
    </message>
    <message>
        <source>file ready</source>
        <translation>文件已准备好</translation>
    </message>
    <message>
        <source>section ready</source>
        <translation>节已准备好</translation>
    </message>
    <message>
        <source>call directory, select file, call file, call section</source>
        <translation>召唤目录，选择文件，召唤文件，召唤节</translation>
    </message>
    <message>
        <source>last section, last segment</source>
        <translation>最后的节，最后的段</translation>
    </message>
    <message>
        <source>ack file, ack section</source>
        <translation>认可文件，认可节</translation>
    </message>
    <message>
        <source>directory</source>
        <translation>目录</translation>
    </message>
    <message>
        <source>query log, request archive file</source>
        <translation>查询日志，请求归档文件</translation>
    </message>
    <message>
        <source>year 0 to 99 (2000 to 2099)</source>
        <translation>年 0 到 99（2000 到 2099）</translation>
    </message>
    <message>
        <source>month 1 to 12</source>
        <translation>月 1 到 12</translation>
    </message>
    <message>
        <source>hour 0 to 23</source>
        <translation>时 0 到 23</translation>
    </message>
    <message>
        <source>minute 0 to 59</source>
        <translation>分 0 到 59</translation>
    </message>
    <message>
        <source>milliseconds 0 to 59999</source>
        <translation>毫秒 0 到 59999</translation>
    </message>
    <message>
        <source>%1 bytes of a reserved type</source>
        <translation>备用类型的 %1 字节</translation>
    </message>
    <message>
        <source>%1 bytes after the last information object</source>
        <translation>最后一个信息对象之后 %1 字节</translation>
    </message>
    <message>
        <source>Read Coils</source>
        <translation>读线圈</translation>
    </message>
    <message>
        <source>Read Discrete Inputs</source>
        <translation>读离散量输入</translation>
    </message>
    <message>
        <source>Read Holding Registers</source>
        <translation>读保持寄存器</translation>
    </message>
    <message>
        <source>Read Input Registers</source>
        <translation>读输入寄存器</translation>
    </message>
    <message>
        <source>Write Single Coil</source>
        <translation>写单个线圈</translation>
    </message>
    <message>
        <source>Write Single Register</source>
        <translation>写单个寄存器</translation>
    </message>
    <message>
        <source>Read Exception Status</source>
        <translation>读异常状态</translation>
    </message>
    <message>
        <source>Diagnostics</source>
        <translation>诊断</translation>
    </message>
    <message>
        <source>Get Comm Event Counter</source>
        <translation>获取通信事件计数器</translation>
    </message>
    <message>
        <source>Get Comm Event Log</source>
        <translation>获取通信事件记录</translation>
    </message>
    <message>
        <source>Write Multiple Coils</source>
        <translation>写多个线圈</translation>
    </message>
    <message>
        <source>Write Multiple Registers</source>
        <translation>写多个寄存器</translation>
    </message>
    <message>
        <source>Report Server ID</source>
        <translation>报告服务器标识</translation>
    </message>
    <message>
        <source>Read File Record</source>
        <translation>读文件记录</translation>
    </message>
    <message>
        <source>Write File Record</source>
        <translation>写文件记录</translation>
    </message>
    <message>
        <source>Mask Write Register</source>
        <translation>屏蔽写寄存器</translation>
    </message>
    <message>
        <source>Read/Write Multiple Registers</source>
        <translation>读/写多个寄存器</translation>
    </message>
    <message>
        <source>Read FIFO Queue</source>
        <translation>读FIFO队列</translation>
    </message>
    <message>
        <source>Encapsulated Interface Transport</source>
        <translation>封装接口传输</translation>
    </message>
    <message>
        <source>Illegal Function</source>
        <translation>非法功能</translation>
    </message>
    <message>
        <source>Illegal Data Address</source>
        <translation>非法数据地址</translation>
    </message>
    <message>
        <source>Illegal Data Value</source>
        <translation>非法数据值</translation>
    </message>
    <message>
        <source>Server Device Failure</source>
        <translation>服务器设备故障</translation>
    </message>
    <message>
        <source>Acknowledge</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Server Device Busy</source>
        <translation>服务器设备忙</translation>
    </message>
    <message>
        <source>Memory Parity Error</source>
        <translation>存储奇偶性差错</translation>
    </message>
    <message>
        <source>Gateway Path Unavailable</source>
        <translation>网关路径不可用</translation>
    </message>
    <message>
        <source>Gateway Target Device Failed to Respond</source>
        <translation>网关目标设备响应失败</translation>
    </message>
    <message>
        <source>CANopen General Reference</source>
        <translation>CANopen通用引用</translation>
    </message>
    <message>
        <source>Read Device Identification</source>
        <translation>读设备标识</translation>
    </message>
    <message>
        <source>basic, stream access</source>
        <translation>基本，流访问</translation>
    </message>
    <message>
        <source>regular, stream access</source>
        <translation>常规，流访问</translation>
    </message>
    <message>
        <source>extended, stream access</source>
        <translation>扩展，流访问</translation>
    </message>
    <message>
        <source>one specific object</source>
        <translation>一个特定对象</translation>
    </message>
    <message>
        <source>basic, stream access only</source>
        <translation>基本，仅流访问</translation>
    </message>
    <message>
        <source>regular, stream access only</source>
        <translation>常规，仅流访问</translation>
    </message>
    <message>
        <source>extended, stream access only</source>
        <translation>扩展，仅流访问</translation>
    </message>
    <message>
        <source>basic, stream and individual access</source>
        <translation>基本，流访问和单独访问</translation>
    </message>
    <message>
        <source>regular, stream and individual access</source>
        <translation>常规，流访问和单独访问</translation>
    </message>
    <message>
        <source>extended, stream and individual access</source>
        <translation>扩展，流访问和单独访问</translation>
    </message>
    <message>
        <source>no</source>
        <translation>否</translation>
    </message>
    <message>
        <source>yes: ask again from the next object</source>
        <translation>是：从下一个对象起再次请求</translation>
    </message>
    <message>
        <source>VendorName</source>
        <translation>厂商名称（VendorName）</translation>
    </message>
    <message>
        <source>ProductCode</source>
        <translation>产品代码（ProductCode）</translation>
    </message>
    <message>
        <source>MajorMinorRevision</source>
        <translation>主次版本号（MajorMinorRevision）</translation>
    </message>
    <message>
        <source>VendorUrl</source>
        <translation>厂商网址（VendorUrl）</translation>
    </message>
    <message>
        <source>ProductName</source>
        <translation>产品名称（ProductName）</translation>
    </message>
    <message>
        <source>ModelName</source>
        <translation>型号名称（ModelName）</translation>
    </message>
    <message>
        <source>UserApplicationName</source>
        <translation>用户应用名称（UserApplicationName）</translation>
    </message>
    <message>
        <source>MBAP header</source>
        <translation>MBAP报文头</translation>
    </message>
    <message>
        <source>Transaction identifier</source>
        <translation>事务标识</translation>
    </message>
    <message>
        <source>Protocol identifier</source>
        <translation>协议标识</translation>
    </message>
    <message>
        <source>Unit identifier</source>
        <translation>单元标识</translation>
    </message>
    <message>
        <source>Exception code</source>
        <translation>异常码</translation>
    </message>
    <message>
        <source>Byte count</source>
        <translation>字节数</translation>
    </message>
    <message>
        <source>Write byte count</source>
        <translation>写字节数</translation>
    </message>
    <message>
        <source>Coils</source>
        <translation>线圈</translation>
    </message>
    <message>
        <source>Inputs</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Outputs</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>寄存器</translation>
    </message>
    <message>
        <source>Starting address</source>
        <translation>起始地址</translation>
    </message>
    <message>
        <source>Quantity of coils</source>
        <translation>线圈数量</translation>
    </message>
    <message>
        <source>Quantity of inputs</source>
        <translation>输入数量</translation>
    </message>
    <message>
        <source>Quantity of registers</source>
        <translation>寄存器数量</translation>
    </message>
    <message>
        <source>Quantity of outputs</source>
        <translation>输出数量</translation>
    </message>
    <message>
        <source>Read starting address</source>
        <translation>读起始地址</translation>
    </message>
    <message>
        <source>Quantity to read</source>
        <translation>读数量</translation>
    </message>
    <message>
        <source>Write starting address</source>
        <translation>写起始地址</translation>
    </message>
    <message>
        <source>Quantity to write</source>
        <translation>写数量</translation>
    </message>
    <message>
        <source>Output address</source>
        <translation>输出地址</translation>
    </message>
    <message>
        <source>Output value</source>
        <translation>输出值</translation>
    </message>
    <message>
        <source>Register address</source>
        <translation>寄存器地址</translation>
    </message>
    <message>
        <source>Register value</source>
        <translation>寄存器值</translation>
    </message>
    <message>
        <source>Output data</source>
        <translation>输出数据</translation>
    </message>
    <message>
        <source>Sub-function</source>
        <translation>子功能码</translation>
    </message>
    <message>
        <source>Diagnostic data</source>
        <translation>诊断数据</translation>
    </message>
    <message>
        <source>Event count</source>
        <translation>事件计数</translation>
    </message>
    <message>
        <source>Message count</source>
        <translation>报文计数</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>事件</translation>
    </message>
    <message>
        <source>Server data</source>
        <translation>服务器数据</translation>
    </message>
    <message>
        <source>AND mask</source>
        <translation>AND掩码</translation>
    </message>
    <message>
        <source>OR mask</source>
        <translation>OR掩码</translation>
    </message>
    <message>
        <source>FIFO pointer address</source>
        <translation>FIFO指针地址</translation>
    </message>
    <message>
        <source>FIFO byte count</source>
        <translation>FIFO字节数</translation>
    </message>
    <message>
        <source>FIFO count</source>
        <translation>FIFO计数</translation>
    </message>
    <message>
        <source>FIFO value</source>
        <translation>FIFO值</translation>
    </message>
    <message>
        <source>Sub-request</source>
        <translation>子请求</translation>
    </message>
    <message>
        <source>Sub-response</source>
        <translation>子响应</translation>
    </message>
    <message>
        <source>Reference type</source>
        <translation>参考类型</translation>
    </message>
    <message>
        <source>File number</source>
        <translation>文件号</translation>
    </message>
    <message>
        <source>Record number</source>
        <translation>记录号</translation>
    </message>
    <message>
        <source>Record length</source>
        <translation>记录长度</translation>
    </message>
    <message>
        <source>Record data</source>
        <translation>记录数据</translation>
    </message>
    <message>
        <source>File response length</source>
        <translation>文件响应长度</translation>
    </message>
    <message>
        <source>MEI type</source>
        <translation>MEI类型</translation>
    </message>
    <message>
        <source>MEI data</source>
        <translation>MEI数据</translation>
    </message>
    <message>
        <source>Read device ID code</source>
        <translation>读设备标识码</translation>
    </message>
    <message>
        <source>Conformity level</source>
        <translation>一致性等级</translation>
    </message>
    <message>
        <source>More follows</source>
        <translation>后续标志</translation>
    </message>
    <message>
        <source>Next object ID</source>
        <translation>下一个对象标识</translation>
    </message>
    <message>
        <source>Object ID</source>
        <translation>对象标识</translation>
    </message>
    <message>
        <source>Object length</source>
        <translation>对象长度</translation>
    </message>
    <message>
        <source>Object value</source>
        <translation>对象值</translation>
    </message>
    <message>
        <source>, request or its echoed response</source>
        <translation>，请求或其回显响应</translation>
    </message>
    <message>
        <source>, request or response</source>
        <translation>，请求或响应</translation>
    </message>
    <message>
        <source>, request</source>
        <translation>，请求</translation>
    </message>
    <message>
        <source>, response</source>
        <translation>，响应</translation>
    </message>
    <message>
        <source>%1, request</source>
        <translation>%1，请求</translation>
    </message>
    <message>
        <source>%1, response</source>
        <translation>%1，响应</translation>
    </message>
    <message>
        <source>%1 bytes: the length of neither a request nor a response</source>
        <translation>%1 字节：既不是请求也不是响应的长度</translation>
    </message>
    <message>
        <source>%1 bytes after the exception code</source>
        <translation>异常码之后 %1 字节</translation>
    </message>
    <message>
        <source>0 (1 to 65535)</source>
        <translation>0（应为1到65535）</translation>
    </message>
    <message>
        <source>1 to 4</source>
        <translation>1 到 4</translation>
    </message>
    <message>
        <source>1, 2, 3, 81, 82 or 83 hex</source>
        <translation>十六进制1、2、3、81、82或83</translation>
    </message>
    <message>
        <source>00 or FF hex</source>
        <translation>十六进制00或FF</translation>
    </message>
    <message>
        <source>private</source>
        <translation>私有</translation>
    </message>
    <message>
        <source>FF00 on</source>
        <translation>FF00 合</translation>
    </message>
    <message>
        <source>0000 off</source>
        <translation>0000 分</translation>
    </message>
    <message>
        <source>truncated: no function code</source>
        <translation>截断：没有功能码</translation>
    </message>
    <message>
        <source>0 (broadcast)</source>
        <translation>0（广播）</translation>
    </message>
    <message>
        <source>Second</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Waiting time</source>
        <translation>等待时间</translation>
    </message>
    <message>
        <source>%1 ms (read as a date: month %2, year %3)</source>
        <translation>%1 毫秒（若按日期读：%2 月，%3 年）</translation>
    </message>
    <message>
        <source>Relay duration time (CP16Time2a)</source>
        <translation>继电器持续时间（CP16Time2a）</translation>
    </message>
    <message>
        <source>Relay operating time (CP16Time2a)</source>
        <translation>继电器动作时间（CP16Time2a）</translation>
    </message>
    <message>
        <source>%1 %2 (to a station)</source>
        <translation>%1 %2（下行）</translation>
    </message>
    <message>
        <source>%1 %2 (to a station: %3)</source>
        <translation>%1 %2（下行：%3）</translation>
    </message>
    <message>
        <source>%1 unknown frame type</source>
        <translation>%1 未知帧类别</translation>
    </message>
    <message>
        <source>%1 remote measurements %2 and %3</source>
        <translation>%1 遥测 %2 和 %3</translation>
    </message>
    <message>
        <source>%1 sequence of events record, part %2</source>
        <translation>%1 事件顺序记录，第 %2 部分</translation>
    </message>
    <message>
        <source>%1 station clock returned, part %2</source>
        <translation>%1 子站时钟返送，第 %2 部分</translation>
    </message>
    <message>
        <source>%1 totalised remote measurements %2 and %3</source>
        <translation>%1 总加遥测 %2 和 %3</translation>
    </message>
    <message>
        <source>%1 water level %2</source>
        <translation>%1 水位 %2</translation>
    </message>
    <message>
        <source>%1 energy pulse count %2</source>
        <translation>%1 电能脉冲计数 %2</translation>
    </message>
    <message>
        <source>%1 set the station clock, part %2</source>
        <translation>%1 设置子站时钟，第 %2 部分</translation>
    </message>
    <message>
        <source>%1 remote signals %2-%3</source>
        <translation>%1 遥信 %2-%3</translation>
    </message>
    <message>
        <source>%1 overflow</source>
        <translation>%1 溢出</translation>
    </message>
    <message>
        <source>%1 invalid</source>
        <translation>%1 无效</translation>
    </message>
    <message>
        <source>%1 (signal %2 first)</source>
        <translation>%1（遥信 %2 在前）</translation>
    </message>
    <message>
        <source>%1 (not BCD digits)</source>
        <translation>%1（不是BCD数字）</translation>
    </message>
    <message>
        <source>%1 (BCD)</source>
        <translation>%1（BCD码）</translation>
    </message>
    <message>
        <source>%1 (reserved bits set: %2)</source>
        <translation>%1（备用位被置位：%2）</translation>
    </message>
    <message>
        <source>%1 %2 is out of range</source>
        <translation>%1 %2 超出范围</translation>
    </message>
    <message>
        <source>day %1 %2</source>
        <translation>%1 日 %2</translation>
    </message>
    <message>
        <source>signal %1 %2 at %3</source>
        <translation>遥信 %1 %2，于 %3</translation>
    </message>
    <message>
        <source>%1, waiting time %2 ms</source>
        <translation>%1，等待时间 %2 毫秒</translation>
    </message>
    <message>
        <source>%1 (the frame holds %2)</source>
        <translation>%1（帧中有 %2 个）</translation>
    </message>
    <message>
        <source>%1 (data and a check byte at least)</source>
        <translation>%1（至少需数据和一个校验字节）</translation>
    </message>
    <message>
        <source>%1: the data&apos;s sum mod 256 (and its parity)</source>
        <translation>%1：数据之和模256（也是其奇偶校验）</translation>
    </message>
    <message>
        <source>%1: the data&apos;s sum mod 256</source>
        <translation>%1：数据之和模256</translation>
    </message>
    <message>
        <source>%1: FF XOR every data byte</source>
        <translation>%1：FF与每个数据字节异或</translation>
    </message>
    <message>
        <source>%1 (the sum would be %2, the parity %3)</source>
        <translation>%1（和校验应为 %2，奇偶校验应为 %3）</translation>
    </message>
    <message>
        <source>%1 (does not fit the frame&apos;s %2 bytes)</source>
        <translation>%1（与帧的 %2 字节不符）</translation>
    </message>
    <message>
        <source>%1: FIN=%2 FIR=%3 sequence %4</source>
        <translation>%1：FIN=%2 FIR=%3 序号 %4</translation>
    </message>
    <message>
        <source>%1 bytes: %2</source>
        <translation>%1 字节：%2</translation>
    </message>
    <message>
        <source>%1, %2 of this window and this one</source>
        <translation>%1，%2（本窗口的报文及本帧）</translation>
    </message>
    <message>
        <source>%1 segment</source>
        <translation>%1 个分段</translation>
    </message>
    <message>
        <source>%1 segments</source>
        <translation>%1 个分段</translation>
    </message>
    <message>
        <source>%1 from an earlier frame</source>
        <translation>%1 个来自之前的一帧</translation>
    </message>
    <message>
        <source>%1 from earlier frames</source>
        <translation>%1 个来自之前的多帧</translation>
    </message>
    <message>
        <source>%1 byte</source>
        <translation>%1 字节</translation>
    </message>
    <message>
        <source>%1; it goes on in a later frame</source>
        <translation>%1；在后面的报文中继续</translation>
    </message>
    <message>
        <source>state %1</source>
        <translation>状态 %1</translation>
    </message>
    <message>
        <source>%1 (unverified: a CRC over it failed)</source>
        <translation>%1（未校验：覆盖它的CRC错误）</translation>
    </message>
    <message>
        <source>missing: the fragment ends after %1 of %2 bytes</source>
        <translation>缺失：片段在 %1/%2 字节处结束</translation>
    </message>
    <message>
        <source>%1 of %2 bytes here, the rest in a later frame</source>
        <translation>本帧有 %1/%2 字节，其余在后面的报文中</translation>
    </message>
    <message>
        <source>%1 of %2 bytes before the frame&apos;s end</source>
        <translation>帧结束前有 %1/%2 字节</translation>
    </message>
    <message>
        <source>%1, any variation</source>
        <translation>%1，任意变体</translation>
    </message>
    <message>
        <source>addresses %1-%2</source>
        <translation>地址 %1-%2</translation>
    </message>
    <message>
        <source>indexes %1-%2</source>
        <translation>索引 %1-%2</translation>
    </message>
    <message>
        <source>%1; all objects</source>
        <translation>%1；全部对象</translation>
    </message>
    <message>
        <source>%1 object</source>
        <translation>%1 个对象</translation>
    </message>
    <message>
        <source>%1 objects</source>
        <translation>%1 个对象</translation>
    </message>
    <message>
        <source>%1 (below the start)</source>
        <translation>%1（小于起始索引）</translation>
    </message>
    <message>
        <source>%1 bytes: %2; %3</source>
        <translation>%1 字节：%2；%3</translation>
    </message>
    <message>
        <source>the size of g%1v%2 objects is not known</source>
        <translation>未知 g%1v%2 对象的大小</translation>
    </message>
    <message>
        <source>%1 after a common time of occurrence not in this fragment</source>
        <translation>%1（在不属于本片段的公共发生时间之后）</translation>
    </message>
    <message>
        <source>commanded state %1, status %2</source>
        <translation>命令状态 %1，状态 %2</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>flags %1</source>
        <translation>标志 %1</translation>
    </message>
    <message>
        <source>%1, queue</source>
        <translation>%1，排队</translation>
    </message>
    <message>
        <source>%1, clear</source>
        <translation>%1，清除</translation>
    </message>
    <message>
        <source>%1, count %2, on %3 ms, off %4 ms</source>
        <translation>%1，次数 %2，合 %3 毫秒，分 %4 毫秒</translation>
    </message>
    <message>
        <source>%1 (broadcast)</source>
        <translation>%1（广播）</translation>
    </message>
    <message>
        <source>variable length frame, L=%1</source>
        <translation>可变帧长帧，L=%1</translation>
    </message>
    <message>
        <source>%1 and %2 differ</source>
        <translation>%1 和 %2 不一致</translation>
    </message>
    <message>
        <source>sequence %1</source>
        <translation>顺序号 %1</translation>
    </message>
    <message>
        <source>minute %1</source>
        <translation>%1 分</translation>
    </message>
    <message>
        <source>day 1 to %1</source>
        <translation>日 1 到 %1</translation>
    </message>
    <message>
        <source>day of week %1 for this date</source>
        <translation>此日期应为星期 %1</translation>
    </message>
    <message>
        <source>%1 (sequence)</source>
        <translation>%1（顺序）</translation>
    </message>
    <message>
        <source>%1 reserved</source>
        <translation>%1 备用</translation>
    </message>
    <message>
        <source>%1 interrogated by group %2 interrogation</source>
        <translation>%1 响应第 %2 组召唤</translation>
    </message>
    <message>
        <source>%1 requested by group %2 counter request</source>
        <translation>%1 响应第 %2 组计数量召唤</translation>
    </message>
    <message>
        <source>%1 special use</source>
        <translation>%1 特殊用途</translation>
    </message>
    <message>
        <source>%1 %2, %3, CA %4, %5</source>
        <translation>%1 %2，%3，公共地址 %4，%5</translation>
    </message>
    <message>
        <source>%1 (the ASDU holds %2)</source>
        <translation>%1（ASDU中有 %2）</translation>
    </message>
    <message>
        <source>%1 (global address)</source>
        <translation>%1（全局地址）</translation>
    </message>
    <message>
        <source>%1 private</source>
        <translation>%1 私有</translation>
    </message>
    <message>
        <source>%1 (paired with its request)</source>
        <translation>%1（已与其请求配对）</translation>
    </message>
    <message>
        <source>%1 (sent as a response, read as a request)</source>
        <translation>%1（作为响应发送，按请求解析）</translation>
    </message>
    <message>
        <source>%1 (sent as a request, read as a response)</source>
        <translation>%1（作为请求发送，按响应解析）</translation>
    </message>
    <message>
        <source>%1 (or a response: read below)</source>
        <translation>%1（或为响应：见下）</translation>
    </message>
    <message>
        <source>%1 (the other reading: the direction is not known)</source>
        <translation>%1（另一种解析：方向未知）</translation>
    </message>
    <message>
        <source>exception response to %1</source>
        <translation>异常响应，对应 %1</translation>
    </message>
    <message>
        <source>%1 bytes: too short for a request</source>
        <translation>%1 字节：太短，不足一个请求</translation>
    </message>
    <message>
        <source>%1 bytes: too short for a response</source>
        <translation>%1 字节：太短，不足一个响应</translation>
    </message>
    <message>
        <source>%1 (%2 bytes follow, the count needs %3)</source>
        <translation>%1（后续 %2 字节，计数要求 %3）</translation>
    </message>
    <message>
        <source>%1 (31 at most)</source>
        <translation>%1（最多31）</translation>
    </message>
    <message>
        <source>%1 byte after the last field</source>
        <translation>最后一个字段之后有 %1 字节</translation>
    </message>
    <message>
        <source>%1 bytes after the last field</source>
        <translation>最后一个字段之后有 %1 字节</translation>
    </message>
    <message>
        <source>%1 (the quantity needs %2)</source>
        <translation>%1（数量要求 %2）</translation>
    </message>
    <message>
        <source>%1 (%2 bytes follow)</source>
        <translation>%1（后续 %2 字节）</translation>
    </message>
    <message>
        <source>%1 (odd: a register takes 2 bytes)</source>
        <translation>%1（奇数：一个寄存器占2字节）</translation>
    </message>
    <message>
        <source>%1 (1 to %2)</source>
        <translation>%1（1 到 %2）</translation>
    </message>
    <message>
        <source>%1 (%2 to %3)</source>
        <translation>%1（%2 到 %3）</translation>
    </message>
    <message>
        <source>%1 (6 for a file record)</source>
        <translation>%1（文件记录应为6）</translation>
    </message>
    <message>
        <source>file %1, record %2, %3 register</source>
        <translation>文件 %1，记录 %2，%3 个寄存器</translation>
    </message>
    <message>
        <source>file %1, record %2, %3 registers</source>
        <translation>文件 %1，记录 %2，%3 个寄存器</translation>
    </message>
    <message>
        <source>%1 (0 to 9999)</source>
        <translation>%1（0到9999）</translation>
    </message>
    <message>
        <source>%1 register</source>
        <translation>%1 个寄存器</translation>
    </message>
    <message>
        <source>%1 registers</source>
        <translation>%1 个寄存器</translation>
    </message>
    <message>
        <source>%1 (even: the reference type and registers of 2 bytes make it odd)</source>
        <translation>%1（偶数：参考类型加2字节的寄存器应为奇数）</translation>
    </message>
    <message>
        <source>%1 (%2 whole objects follow)</source>
        <translation>%1（后续 %2 个完整对象）</translation>
    </message>
    <message>
        <source>%1 (neither FF00 on nor 0000 off)</source>
        <translation>%1（既不是FF00合也不是0000分）</translation>
    </message>
    <message>
        <source>%1 (not MODBUS)</source>
        <translation>%1（不是MODBUS）</translation>
    </message>
    <message>
        <source>%1 (unit, function code and CRC at least)</source>
        <translation>%1（至少需单元标识、功能码和CRC）</translation>
    </message>
    <message>
        <source>%1 (ok)</source>
        <translation>%1（正确）</translation>
    </message>
    <message>
        <source>%1 (bad)</source>
        <translation>%1（错误）</translation>
    </message>
    <message>
        <source>%1 (bad, expected %2)</source>
        <translation>%1（错误，应为 %2）</translation>
    </message>
</context>
</TS>
