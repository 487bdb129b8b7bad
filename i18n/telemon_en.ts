<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CaretReadout</name>
    <message>
        <source>第%1帧第%2字节</source>
        <translation>Frame %1, byte %2</translation>
    </message>
</context>
<context>
    <name>Contrast</name>
    <message>
        <source>注意：%1的字体颜色与背景颜色对比度为 %2:1，低于 3:1，文字不易看清。</source>
        <translation>Note: the text and background colours of the %1 have a contrast of %2:1, below 3:1; the text is hard to read.</translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>使用说明</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭使用说明</source>
        <translation>Close the user guide</translation>
    </message>
</context>
<context>
    <name>Ostrel</name>
    <message>
        <source>Ostrel-通用以太网UDP通信监测工具</source>
        <translation>Ostrel - UDP monitor for Ethernet communication</translation>
    </message>
</context>
<context>
    <name>StatusPanels</name>
    <message>
        <source>状态栏</source>
        <translation>Status bar</translation>
    </message>
</context>
<context>
    <name>TF_color</name>
    <message>
        <source>颜色</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>请选择</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>字体颜色:</source>
        <translation>Text colour:</translation>
    </message>
    <message>
        <source>背景颜色:</source>
        <translation>Background colour:</translation>
    </message>
    <message>
        <source>接收报文区</source>
        <translation>receive window</translation>
    </message>
    <message>
        <source>发送报文区</source>
        <translation>send window</translation>
    </message>
</context>
<context>
    <name>Tamrel_C</name>
    <message>
        <source>Tamrel-通用TCP通信客户端监测工具</source>
        <translation>Tamrel - TCP client monitor</translation>
    </message>
</context>
<context>
    <name>Tamrel_S</name>
    <message>
        <source>Tamrel-通用TCP通信服务器监测工具</source>
        <translation>Tamrel - TCP server monitor</translation>
    </message>
</context>
<context>
    <name>monitor::DecodePanel</name>
    <message>
        <source>复制全部文本</source>
        <translation>Copy all text</translation>
    </message>
    <message>
        <source>规约</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>链路地址字节</source>
        <translation>Link address octets</translation>
    </message>
    <message>
        <source>传送原因字节</source>
        <translation>COT octets</translation>
    </message>
    <message>
        <source>公共地址字节</source>
        <translation>CA octets</translation>
    </message>
    <message>
        <source>信息体地址字节</source>
        <translation>IOA octets</translation>
    </message>
    <message>
        <source>报文解析</source>
        <translation>Frame decoder</translation>
    </message>
</context>
<context>
    <name>monitor::FrameLine</name>
    <message>
        <source>光标所在行没有报文</source>
        <translation>The caret line holds no frame</translation>
    </message>
    <message>
        <source>光标所在行不是十六进制报文</source>
        <translation>The caret line is not a hex frame</translation>
    </message>
    <message>
        <source>ASCII码模式的报文行没有可解析的字节</source>
        <translation>A line in ASCII mode has no bytes to decode</translation>
    </message>
</context>
<context>
    <name>monitor::FrameLogDialogs</name>
    <message>
        <source>有%1行过长，已截断为前%2字节</source>
        <translation>Overlong lines cut to their first %2 bytes: %1</translation>
    </message>
</context>
<context>
    <name>monitor::LinkPanel</name>
    <message>
        <source>%1 —/%2</source>
        <translation>%1 —/%2</translation>
    </message>
    <message>
        <source>已启动</source>
        <translation>started</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>%1 V(S) %2 V(R) %3 I %4 S %5 U %6, 未确认 %7 (最多 %8) /%9 %10</source>
        <translation>%1 V(S) %2 V(R) %3 I %4 S %5 U %6, unacknowledged %7 (max %8) /%9 %10</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>规约</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>事件</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>发</source>
        <translation>Tx</translation>
    </message>
    <message>
        <source>收</source>
        <translation>Rx</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>链路监视%1</source>
        <translation>Link supervision %1</translation>
    </message>
    <message>
        <source>MODBUS超时(毫秒)</source>
        <translation>Modbus time-out (ms)</translation>
    </message>
    <message>
        <source>t0(秒)</source>
        <translation>t0 (s)</translation>
    </message>
    <message>
        <source>t1(秒)</source>
        <translation>t1 (s)</translation>
    </message>
    <message>
        <source>t2(秒)</source>
        <translation>t2 (s)</translation>
    </message>
    <message>
        <source>t3(秒)</source>
        <translation>t3 (s)</translation>
    </message>
    <message>
        <source>链路概况</source>
        <translation>Link summary</translation>
    </message>
    <message>
        <source>链路事件</source>
        <translation>Link events</translation>
    </message>
    <message>
        <source>选择全部事件</source>
        <translation>Select all events</translation>
    </message>
    <message>
        <source>保存链路事件</source>
        <translation>Save link events</translation>
    </message>
    <message>
        <source>CSV (*.csv);;所有文件 (*)</source>
        <translation>CSV (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>链路 %1  %2  收 %3 帧  发 %4 帧  错帧 %5  未识别 %6</source>
        <translation>Link %1  %2  Rx %3 frames  Tx %4 frames  bad %5  unrecognised %6</translation>
    </message>
    <message>
        <source>  状态 %1</source>
        <translation>  Data transfer %1</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>本机</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>, 待确认接收 %1 /w %2</source>
        <translation>, received not yet acknowledged %1 /w %2</translation>
    </message>
    <message>
        <source>  公共地址 %1 时钟偏差 %2 … %3 ms (%4)</source>
        <translation>  Common address %1 clock offset %2 … %3 ms (%4)</translation>
    </message>
    <message>
        <source>  公共地址 %1 发出时标偏差 %2 … %3 ms (%4)</source>
        <translation>  Common address %1 offset of sent time tags %2 … %3 ms (%4)</translation>
    </message>
    <message>
        <source>  请求 %1 应答 %2 待答 %3 超时未答 %4 迟到 %5 无请求应答 %6 不符 %7 异常 %8</source>
        <translation>  Requests %1 responses %2 pending %3 timed out %4 late %5 unsolicited %6 mismatched %7 exceptions %8</translation>
    </message>
    <message>
        <source>  响应时间 最小 %1 平均 %2 最大 %3 p95 %4 ms /超时 %5</source>
        <translation>  Response time min %1 mean %2 max %3 p95 %4 ms /time-out %5</translation>
    </message>
    <message>
        <source>  响应时间 — /超时 %1</source>
        <translation>  Response time — /time-out %1</translation>
    </message>
    <message>
        <source>事件: %1</source>
        <translation>Events: %1</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>已丢弃最早的事件 %1 条</source>
        <translation>Oldest events dropped: %1</translation>
    </message>
</context>
<context>
    <name>monitor::PointPanel</name>
    <message>
        <source>标记</source>
        <translation>Flags</translation>
    </message>
    <message>
        <source>打开点表...</source>
        <translation>Open point list...</translation>
    </message>
    <message>
        <source>保存模板...</source>
        <translation>Save template...</translation>
    </message>
    <message>
        <source>导出CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>导出报告...</source>
        <translation>Export report...</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>打开点表</source>
        <translation>Open point list</translation>
    </message>
    <message>
        <source>保存点表模板</source>
        <translation>Save point list template</translation>
    </message>
    <message>
        <source>导出数据点表CSV</source>
        <translation>Export data points as CSV</translation>
    </message>
    <message>
        <source>导出数据点表报告</source>
        <translation>Export data points report</translation>
    </message>
    <message>
        <source>清除数据点表</source>
        <translation>Clear data points</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>查找数据点</source>
        <translation>Find data points</translation>
    </message>
    <message>
        <source>名称、地址或任一列的文字</source>
        <translation>Name, address or text of any column</translation>
    </message>
    <message>
        <source>数据点</source>
        <translation>Data points</translation>
    </message>
    <message>
        <source>选择全部数据点</source>
        <translation>Select all data points</translation>
    </message>
    <message>
        <source>数据点计数</source>
        <translation>Data point counts</translation>
    </message>
    <message>
        <source>CSV (*.csv);;所有文件 (*)</source>
        <translation>CSV (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>保存模板</source>
        <translation>Save template</translation>
    </message>
    <message>
        <source>点表模板.csv</source>
        <translation>point-list-template.csv</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>数据点表.csv</source>
        <translation>data-points.csv</translation>
    </message>
    <message>
        <source>导出报告</source>
        <translation>Export report</translation>
    </message>
    <message>
        <source>数据点表.html</source>
        <translation>data-points.html</translation>
    </message>
    <message>
        <source>HTML (*.html *.htm);;所有文件 (*)</source>
        <translation>HTML (*.html *.htm);;All files (*)</translation>
    </message>
    <message>
        <source>已收到 %1 点  在点表 %2/%3  未收到 %4  越限 %5  不在点表 %6  类型不符 %7  品质异常 %8</source>
        <translation>Received %1 points  on list %2/%3  not received %4  out of range %5  not on list %6  wrong type %7  bad quality %8</translation>
    </message>
    <message>
        <source>  命令 %1</source>
        <translation>  commands %1</translation>
    </message>
    <message>
        <source>  已达 %1 点上限, 未记 %2 点</source>
        <translation>  limit of %1 points reached, %2 points not recorded</translation>
    </message>
    <message>
        <source>数据点表</source>
        <translation>Data points</translation>
    </message>
    <message>
        <source>无法写入文件 %1</source>
        <translation>Cannot write the file %1</translation>
    </message>
</context>
<context>
    <name>monitor::Profile</name>
    <message>
        <source>链路监视的设置不对</source>
        <translation>The link supervision settings are wrong</translation>
    </message>
    <message>
        <source>第%1行有误：</source>
        <translation>error in line %1: </translation>
    </message>
    <message>
        <source>不能打开：</source>
        <translation>cannot be opened: </translation>
    </message>
    <message>
        <source>配置文件“%1”%2%3
配置未打开，什么也没有改变。</source>
        <translation>Profile &quot;%1&quot;: %2%3
The profile was not opened; nothing has changed.</translation>
    </message>
    <message>
        <source>“%1”应为0或1</source>
        <translation>&quot;%1&quot; must be 0 or 1</translation>
    </message>
    <message>
        <source>“%1”应为%2到%3之间的整数</source>
        <translation>&quot;%1&quot; must be a whole number from %2 to %3</translation>
    </message>
    <message>
        <source>“%1”不是Base64编码</source>
        <translation>&quot;%1&quot; is not Base64</translation>
    </message>
    <message>
        <source>既不是节名，也不是“名称=值”</source>
        <translation>neither a section name nor &quot;name=value&quot;</translation>
    </message>
    <message>
        <source>不是配置文件（缺少[Profile]节的Format）</source>
        <translation>not a profile (the [Profile] section has no Format)</translation>
    </message>
    <message>
        <source>触发器%1：%2</source>
        <translation>trigger %1: %2</translation>
    </message>
    <message>
        <source>过滤条件%1的字节位置不对</source>
        <translation>the byte position of filter condition %1 is wrong</translation>
    </message>
    <message>
        <source>过滤条件%1的字节值不对</source>
        <translation>the byte value of filter condition %1 is wrong</translation>
    </message>
    <message>
        <source>定时保存的分钟数不对</source>
        <translation>the minutes of timed saving are wrong</translation>
    </message>
</context>
<context>
    <name>monitor::Tf_openprofile</name>
    <message>
        <source>配置文件 (*.ini);;所有文件 (*)</source>
        <translation>Profiles (*.ini);;All files (*)</translation>
    </message>
    <message>
        <source>打开配置</source>
        <translation>Open profile</translation>
    </message>
    <message>
        <source>配置文件:</source>
        <translation>Profile:</translation>
    </message>
    <message>
        <source>配置文件</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>启动时打开</source>
        <translation>Open at start</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save profile</translation>
    </message>
    <message>
        <source>文件不存在或不能读取</source>
        <translation>the file does not exist or cannot be read</translation>
    </message>
</context>
<context>
    <name>monitor::Tf_trigger</name>
    <message>
        <source>触发器</source>
        <translation>Triggers</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>报文格式: 16进制，用空格隔开，如：&quot;68 0A 0A 68 30...&quot;,支持模糊匹配符**和??，
&quot;**&quot;表示多字节模糊匹配，&quot;??&quot;表示单字节模糊匹配，每条触发报文仅支持一个匹配符</source>
        <translation>Frames in hex, bytes separated by spaces, e.g. &quot;68 0A 0A 68 30...&quot;, with the wildcards ** and ??:
&quot;**&quot; matches any number of bytes, &quot;??&quot; any one byte; one wildcard per trigger frame</translation>
    </message>
    <message>
        <source>触发报文</source>
        <translation>Trigger frames</translation>
    </message>
    <message>
        <source>当接收报文</source>
        <translation>When receiving</translation>
    </message>
    <message>
        <source>触发发送报文</source>
        <translation>send</translation>
    </message>
    <message>
        <source>第%1条规则 启用：当接收报文</source>
        <translation>Rule %1 on: when receiving</translation>
    </message>
    <message>
        <source>第%1条规则 接收报文</source>
        <translation>Rule %1 received frame</translation>
    </message>
    <message>
        <source>第%1条规则 触发发送报文</source>
        <translation>Rule %1 frame to send</translation>
    </message>
    <message>
        <source>回复源地址</source>
        <translation>Reply to sender</translation>
    </message>
    <message>
        <source>从监听端口回复到报文的源地址和端口</source>
        <translation>Answer from the listening port to the frame&apos;s source address and port</translation>
    </message>
</context>
<context>
    <name>monitor::TimedSaveDialog</name>
    <message>
        <source>定时收报对话框</source>
        <translation>Timed save of received frames</translation>
    </message>
    <message>
        <source>定时保存</source>
        <translation>Save every</translation>
    </message>
    <message>
        <source>定时保存间隔（分）</source>
        <translation>Save interval (minutes)</translation>
    </message>
    <message>
        <source>分</source>
        <translation>min</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
</context>
<context>
    <name>monitor::TrafficCounters</name>
    <message>
        <source>%1: %2 帧 %3 字节 (1 秒内 %4 帧/秒 %5 字节/秒)</source>
        <translation>%1: %2 frames %3 bytes (last second %4 frames/s %5 bytes/s)</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Receive</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Sent</translation>
    </message>
</context>
<context>
    <name>monitor::TriggerMessage</name>
    <message>
        <source>不能为空串</source>
        <translation>Must not be empty</translation>
    </message>
    <message>
        <source>报文超长，不得超过255个字节</source>
        <translation>Frame too long: at most 255 bytes</translation>
    </message>
    <message>
        <source>触发报文格式不对,请修改! eg:&quot;01 03 1A&quot;</source>
        <translation>Wrong format of the trigger frame, please correct it! e.g. &quot;01 03 1A&quot;</translation>
    </message>
    <message>
        <source>触发报文通配符大于两个,请修改!</source>
        <translation>Too many wildcards in the trigger frame, please correct it!</translation>
    </message>
    <message>
        <source>触发报文存在无效字符，请修改</source>
        <translation>Invalid characters in the trigger frame, please correct them</translation>
    </message>
    <message>
        <source>发送报文格式不对,请修改! eg:&quot;01 03 1A&quot;</source>
        <translation>Wrong format of the frame to send, please correct it! e.g. &quot;01 03 1A&quot;</translation>
    </message>
    <message>
        <source>发送报文存在无效字符，请修改</source>
        <translation>Invalid characters in the frame to send, please correct them</translation>
    </message>
</context>
<context>
    <name>ostrel::FrameLogPeriod</name>
    <message>
        <source>保存间隔应为0到71582之间的分钟数（可带小数）</source>
        <translation>The save interval must be 0 to 71582 minutes (decimals allowed)</translation>
    </message>
</context>
<context>
    <name>ostrel::MainActions</name>
    <message>
        <source>报文处理</source>
        <translation>Frames</translation>
    </message>
    <message>
        <source>收报显示清空</source>
        <translation>Clear received frames</translation>
    </message>
    <message>
        <source>保存收报...</source>
        <translation>Save received frames...</translation>
    </message>
    <message>
        <source>提取收报...</source>
        <translation>Load received frames...</translation>
    </message>
    <message>
        <source>保存发报...</source>
        <translation>Save send frames...</translation>
    </message>
    <message>
        <source>提取发报...</source>
        <translation>Load send frames...</translation>
    </message>
    <message>
        <source>发报内容清空</source>
        <translation>Clear send frames</translation>
    </message>
    <message>
        <source>端口监听</source>
        <translation>Listen</translation>
    </message>
    <message>
        <source>开始监听</source>
        <translation>Start listening</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>参数设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>发报方式...</source>
        <translation>Send mode...</translation>
    </message>
    <message>
        <source>串口配置...</source>
        <translation>Serial port setup...</translation>
    </message>
    <message>
        <source>网络与组播...</source>
        <translation>Network and multicast...</translation>
    </message>
    <message>
        <source>接收切换到ASCII码模式</source>
        <translation>Receive in ASCII mode</translation>
    </message>
    <message>
        <source>发送切换到ASCII码模式</source>
        <translation>Send in ASCII mode</translation>
    </message>
    <message>
        <source>立即发报</source>
        <translation>Send now</translation>
    </message>
    <message>
        <source>暂停显示</source>
        <translation>Pause display</translation>
    </message>
    <message>
        <source>附加功能</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>添加求和校验码</source>
        <translation>Append sum checksum</translation>
    </message>
    <message>
        <source>最后字节添加求和校验</source>
        <translation>Appends the sum of the bytes as the last byte</translation>
    </message>
    <message>
        <source>添加0x68报文</source>
        <translation>Wrap in 0x68 frame</translation>
    </message>
    <message>
        <source>添加纵向奇偶校验码</source>
        <translation>Append LRC (longitudinal parity)</translation>
    </message>
    <message>
        <source>添加CDT规约CRC校验码</source>
        <translation>Append CDT CRC</translation>
    </message>
    <message>
        <source>添加MODBUS规约CRC校验码</source>
        <translation>Append Modbus CRC</translation>
    </message>
    <message>
        <source>添加DNP规约CRC校验码</source>
        <translation>Append DNP3 CRC</translation>
    </message>
    <message>
        <source>过滤报文...</source>
        <translation>Filter frames...</translation>
    </message>
    <message>
        <source>触发器...</source>
        <translation>Triggers...</translation>
    </message>
    <message>
        <source>收报定时保存...</source>
        <translation>Timed save of received frames...</translation>
    </message>
    <message>
        <source>保存配置...</source>
        <translation>Save profile...</translation>
    </message>
    <message>
        <source>打开配置...</source>
        <translation>Open profile...</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>View</translation>
    </message>
    <message>
        <source>显示接收窗口</source>
        <translation>Show receive window</translation>
    </message>
    <message>
        <source>显示发送窗口</source>
        <translation>Show send window</translation>
    </message>
    <message>
        <source>报文解析</source>
        <translation>Frame decoder</translation>
    </message>
    <message>
        <source>链路监视</source>
        <translation>Link supervision</translation>
    </message>
    <message>
        <source>数据点表</source>
        <translation>Data points</translation>
    </message>
    <message>
        <source>显示接收时间</source>
        <translation>Show receive time</translation>
    </message>
    <message>
        <source>显示源地址</source>
        <translation>Show source address</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>Milliseconds</translation>
    </message>
    <message>
        <source>颜色...</source>
        <translation>Colours...</translation>
    </message>
    <message>
        <source>计算器</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>工具条</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>使用说明</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>关于...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>恢复到主界面</source>
        <translation>Back to main window</translation>
    </message>
    <message>
        <source>总在最前</source>
        <translation>Always on top</translation>
    </message>
    <message>
        <source>配置UDP端口</source>
        <translation>UDP port setup</translation>
    </message>
    <message>
        <source>过滤报文</source>
        <translation>Filter frames</translation>
    </message>
    <message>
        <source>触发器</source>
        <translation>Triggers</translation>
    </message>
    <message>
        <source>窗口总在最前</source>
        <translation>Window always on top</translation>
    </message>
    <message>
        <source>保存收报</source>
        <translation>Save received frames</translation>
    </message>
    <message>
        <source>保存发报</source>
        <translation>Save send frames</translation>
    </message>
    <message>
        <source>提取收报</source>
        <translation>Load received frames</translation>
    </message>
    <message>
        <source>提取发报</source>
        <translation>Load send frames</translation>
    </message>
    <message>
        <source>帮助信息</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>停止监听</source>
        <translation>Stop listening</translation>
    </message>
    <message>
        <source>继续显示</source>
        <translation>Resume display</translation>
    </message>
    <message>
        <source>接收还原到二进制模式</source>
        <translation>Receive in hex mode again</translation>
    </message>
    <message>
        <source>发送还原到二进制模式</source>
        <translation>Send in hex mode again</translation>
    </message>
    <message>
        <source>请更改循环发送方式为其它</source>
        <translation>Choose a send mode other than loop to send now</translation>
    </message>
</context>
<context>
    <name>ostrel::MainView</name>
    <message>
        <source>窗口总在最前</source>
        <translation>Window always on top</translation>
    </message>
    <message>
        <source>恢复主窗口</source>
        <translation>Restore main window</translation>
    </message>
</context>
<context>
    <name>ostrel::NetworkForm</name>
    <message>
        <source>没有接口 %1</source>
        <translation>No interface %1</translation>
    </message>
    <message>
        <source>TTL应为0到255</source>
        <translation>The TTL must be 0 to 255</translation>
    </message>
    <message>
        <source>%1 不是组播地址</source>
        <translation>%1 is not a multicast address</translation>
    </message>
    <message>
        <source>只监听IPv4时不能加入IPv6组播组 %1</source>
        <translation>Cannot join the IPv6 multicast group %1 while listening on IPv4 only</translation>
    </message>
</context>
<context>
    <name>ostrel::OstrelProfile</name>
    <message>
        <source>发送方式：%1</source>
        <translation>Send mode: %1</translation>
    </message>
</context>
<context>
    <name>ostrel::SendMessage</name>
    <message>
        <source>发报格式错误,请修改! eg:&quot;01 03 1A&quot;</source>
        <translation>Wrong frame format, please correct it! e.g. &quot;01 03 1A&quot;</translation>
    </message>
    <message>
        <source>超过发送缓冲区4096字节限制，请修改发送个数</source>
        <translation>More than the 4096-byte send buffer: send fewer copies at a time</translation>
    </message>
</context>
<context>
    <name>ostrel::SendStyleMessage</name>
    <message>
        <source>单行循环发送方式，一次发送%1遍</source>
        <translation>Loop over lines, copies per send: %1</translation>
    </message>
    <message>
        <source>随机选行发送方式，一次发送%1遍</source>
        <translation>Random line, copies per send: %1</translation>
    </message>
    <message>
        <source>单行发送方式，一次发送%1遍</source>
        <translation>Single line, copies per send: %1</translation>
    </message>
    <message>
        <source>请输入正实数！</source>
        <translation>Enter a positive number!</translation>
    </message>
    <message>
        <source>请输入正实数!</source>
        <translation>Enter a positive number!</translation>
    </message>
    <message>
        <source>请输入正整数!</source>
        <translation>Enter a positive whole number!</translation>
    </message>
    <message>
        <source>一次发送拷贝个数不能超过4096个</source>
        <translation>At most 4096 copies can be sent at a time</translation>
    </message>
    <message>
        <source>循环末行行数应大于起始行数</source>
        <translation>The last line of the loop must come after the first</translation>
    </message>
</context>
<context>
    <name>ostrel::StatusTexts</name>
    <message>
        <source>接收端口:%1, 信宿地址:%2</source>
        <translation>Port %1, to %2</translation>
    </message>
    <message>
        <source>单行发送方式,一次发送%1遍</source>
        <translation>Single line, copies per send: %1</translation>
    </message>
</context>
<context>
    <name>ostrel::TDecodeForm</name>
    <message>
        <source>报文解析</source>
        <translation>Frame decoder</translation>
    </message>
</context>
<context>
    <name>ostrel::TDockableForm</name>
    <message>
        <source>关闭%1</source>
        <translation>Close %1</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>ostrel::TF_csn</name>
    <message>
        <source>接收设置</source>
        <translation>Receive</translation>
    </message>
    <message>
        <source>发送设置</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>以太网UDP端口配置</source>
        <translation>UDP port setup</translation>
    </message>
    <message>
        <source>接收端口</source>
        <translation>Receive port</translation>
    </message>
    <message>
        <source>信宿地址</source>
        <translation>Destination host</translation>
    </message>
    <message>
        <source>发送端口</source>
        <translation>Destination port</translation>
    </message>
</context>
<context>
    <name>ostrel::TLinkForm</name>
    <message>
        <source>链路监视</source>
        <translation>Link supervision</translation>
    </message>
</context>
<context>
    <name>ostrel::TPointForm</name>
    <message>
        <source>数据点表</source>
        <translation>Data points</translation>
    </message>
</context>
<context>
    <name>ostrel::Tf_filter</name>
    <message>
        <source>过滤报文</source>
        <translation>Filter frames</translation>
    </message>
    <message>
        <source>字节数为十进制，报文为十六进制,如“第11个字节为0A&quot;</source>
        <translation>Byte positions are decimal, values hex, e.g. &quot;byte 11 = 0A&quot;</translation>
    </message>
    <message>
        <source>滤取报文</source>
        <translation>Show only frames</translation>
    </message>
    <message>
        <source>只显示第</source>
        <translation>Show only frames with byte</translation>
    </message>
    <message>
        <source>个字节为</source>
        <translation>=</translation>
    </message>
    <message>
        <source>的报文</source>
        <translation>(hex)</translation>
    </message>
    <message>
        <source>第%1个条件 启用</source>
        <translation>Condition %1 on</translation>
    </message>
    <message>
        <source>第%1个条件 字节位置</source>
        <translation>Condition %1 byte position</translation>
    </message>
    <message>
        <source>第%1个条件 字节值</source>
        <translation>Condition %1 byte value</translation>
    </message>
</context>
<context>
    <name>ostrel::Tf_main</name>
    <message>
        <source>Ostrel-通用以太网UDP通信监测工具（V2.15版）</source>
        <translation>Ostrel - UDP monitor for Ethernet communication (V2.15)</translation>
    </message>
    <message>
        <source>接收报文</source>
        <translation>Received frames</translation>
    </message>
    <message>
        <source>发送报文</source>
        <translation>Frames to send</translation>
    </message>
    <message>
        <source>开始监听接收端口</source>
        <translation>Started listening on the receive port</translation>
    </message>
    <message>
        <source>停止监听接收端口</source>
        <translation>Stopped listening on the receive port</translation>
    </message>
    <message>
        <source>已暂停显示!</source>
        <translation>Display paused!</translation>
    </message>
    <message>
        <source>已恢复显示!</source>
        <translation>Display resumed!</translation>
    </message>
    <message>
        <source>定时</source>
        <translation>Timed</translation>
    </message>
    <message>
        <source>没有找到计算器程序（gnome-calculator、kcalc、mate-calc、galculator、qalculate-gtk 或 xcalc）。</source>
        <translation>No calculator found (gnome-calculator, kcalc, mate-calc, galculator, qalculate-gtk or xcalc).</translation>
    </message>
</context>
<context>
    <name>ostrel::Tf_network</name>
    <message>
        <source>网络与组播</source>
        <translation>Network and multicast</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Receive</translation>
    </message>
    <message>
        <source>只监听IPv4 (0.0.0.0)</source>
        <translation>Listen on IPv4 only (0.0.0.0)</translation>
    </message>
    <message>
        <source>系统选择</source>
        <translation>chosen by the system</translation>
    </message>
    <message>
        <source>加入组播组</source>
        <translation>Join multicast groups</translation>
    </message>
    <message>
        <source>组播接口</source>
        <translation>Multicast interface</translation>
    </message>
    <message>
        <source>开始监听时加入，停止监听时离开；多个组用空格隔开</source>
        <translation>Joined when listening starts, left when it stops; separate groups with spaces</translation>
    </message>
    <message>
        <source>发送到组播组</source>
        <translation>Sending to a multicast group</translation>
    </message>
    <message>
        <source>系统默认</source>
        <translation>system default</translation>
    </message>
    <message>
        <source>TTL/跳数</source>
        <translation>TTL / hop limit</translation>
    </message>
    <message>
        <source>发送接口</source>
        <translation>Send interface</translation>
    </message>
</context>
<context>
    <name>ostrel::Tf_save</name>
    <message>
        <source>保存的接收文件都在
Sorvel执行目录下,
文件名依次为
Receive0.dat，
receive1.dat...</source>
        <translation>The received frames are saved
in the program&apos;s working folder,
in the files
Receive0.dat,
receive1.dat...</translation>
    </message>
</context>
<context>
    <name>ostrel::Tf_sendstyle</name>
    <message>
        <source>发送形式</source>
        <translation>Send mode</translation>
    </message>
    <message>
        <source>单行发送报文</source>
        <translation>Send a single line</translation>
    </message>
    <message>
        <source>单行循环发送报文</source>
        <translation>Loop over lines</translation>
    </message>
    <message>
        <source>随机选行发送报文</source>
        <translation>Send a random line</translation>
    </message>
    <message>
        <source>可选方式</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>定时发报</source>
        <translation>Send on a timer</translation>
    </message>
    <message>
        <source>循环时间间隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>从第</source>
        <translation>Loop from line</translation>
    </message>
    <message>
        <source>行到</source>
        <translation>to line</translation>
    </message>
    <message>
        <source>行</source>
        <translation>inclusive</translation>
    </message>
    <message>
        <source>一次发</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>个</source>
        <translation>copies at a time</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>发送报文方式</source>
        <translation>Send mode</translation>
    </message>
    <message>
        <source>循环时间间隔（秒）</source>
        <translation>Interval (seconds)</translation>
    </message>
    <message>
        <source>从第几行</source>
        <translation>First line</translation>
    </message>
    <message>
        <source>到第几行</source>
        <translation>Last line</translation>
    </message>
    <message>
        <source>一次发几个</source>
        <translation>Copies per send</translation>
    </message>
</context>
<context>
    <name>ostrel::Tf_version</name>
    <message>
        <source>V2.15
- 接收和发送窗口可停靠、可浮动，关闭后可从“显示”菜单重新打开
- 触发器：收到匹配的报文后自动发送应答，支持 ?? 和 ** 匹配符
- 收报定时保存为 receive0.dat、receive1.dat ...
- 过滤报文：只显示指定字节为指定值的报文
- 发报方式：单行、单行循环、随机选行，可定时发送
- 校验码：求和、纵向奇偶、CDT、MODBUS、DNP CRC，0x68 报文
</source>
        <translation>V2.15
- The receive and send windows dock and float; a closed one comes back from the &quot;View&quot; menu
- Triggers: a matching received frame is answered automatically, with the wildcards ?? and **
- Timed save of received frames to receive0.dat, receive1.dat ...
- Frame filter: only frames with a given value at a given byte are shown
- Send modes: single line, loop over lines, random line, optionally on a timer
- Check codes: sum, LRC, CDT, Modbus and DNP3 CRC, 0x68 frames
</translation>
    </message>
    <message>
        <source>Ostrel-通用以太网UDP通信监测工具 V2.15版</source>
        <translation>Ostrel - UDP monitor for Ethernet communication V2.15</translation>
    </message>
    <message>
        <source>%1。本程序可自由使用和复制。</source>
        <translation>%1. This program may be used and copied freely.</translation>
    </message>
    <message>
        <source>版本信息</source>
        <translation>Version information</translation>
    </message>
    <message>
        <source>版本说明</source>
        <translation>Release notes</translation>
    </message>
</context>
<context>
    <name>tamrel::ClientSide</name>
    <message>
        <source>Tamrel-通用TCP通信客户端监测工具（V1.0版）</source>
        <translation>Tamrel - TCP client monitor (V1.0)</translation>
    </message>
    <message>
        <source>客户端连接</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>连接服务器</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>断开连接</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>连接配置</source>
        <translation>Connection setup</translation>
    </message>
    <message>
        <source>TCP客户端监测 V1.0</source>
        <translation>TCP client monitor V1.0</translation>
    </message>
    <message>
        <source>Tamrel-通用TCP通信客户端监测工具  V1.0版</source>
        <translation>Tamrel - TCP client monitor  V1.0</translation>
    </message>
    <message>
        <source>TCP客户端：连接到作为服务器的设备（主机名或IP地址与端口），
后台连接并有超时，可选断线后自动重连；
收报、发报、过滤、定时保存、触发应答与报文解析同服务器版。</source>
        <translation>TCP client: connects to a device that listens as a server (host name or IP address and port),
in the background with a time-out, optionally reconnecting after a drop;
receiving, sending, filter, timed save, trigger answers and frame decoding as in the server monitor.</translation>
    </message>
    <message>
        <source>未连接 %1:%2</source>
        <translation>Not connected %1:%2</translation>
    </message>
</context>
<context>
    <name>tamrel::ConnectTarget</name>
    <message>
        <source>请输入服务器的主机名或IP地址</source>
        <translation>Enter the server&apos;s host name or IP address</translation>
    </message>
    <message>
        <source>主机名或IP地址中不能有空格</source>
        <translation>A host name or IP address cannot contain spaces</translation>
    </message>
    <message>
        <source>端口应为1到65535之间的整数</source>
        <translation>The port must be a whole number from 1 to 65535</translation>
    </message>
</context>
<context>
    <name>tamrel::ConnectionTexts</name>
    <message>
        <source>连接被拒绝：%1 上没有程序在监听</source>
        <translation>Connection refused: nothing listens on %1</translation>
    </message>
    <message>
        <source>没有到 %1 的路由</source>
        <translation>No route to %1</translation>
    </message>
    <message>
        <source>连接 %1 超时（%2 秒）</source>
        <translation>Connecting to %1 timed out (%2 s)</translation>
    </message>
    <message>
        <source>找不到主机 %1</source>
        <translation>Host %1 not found</translation>
    </message>
    <message>
        <source>连接被设备复位：%1</source>
        <translation>Connection reset by the device: %1</translation>
    </message>
    <message>
        <source>连接被设备关闭：%1</source>
        <translation>Connection closed by the device: %1</translation>
    </message>
    <message>
        <source>连接 %1 失败：%2（错误 %3）</source>
        <translation>Connecting to %1 failed: %2 (error %3)</translation>
    </message>
    <message>
        <source>连接被拒绝</source>
        <translation>Connection refused</translation>
    </message>
    <message>
        <source>没有路由</source>
        <translation>No route</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>Connection time-out</translation>
    </message>
    <message>
        <source>找不到主机</source>
        <translation>Host not found</translation>
    </message>
    <message>
        <source>连接被设备复位</source>
        <translation>Connection reset by the device</translation>
    </message>
    <message>
        <source>连接被设备关闭</source>
        <translation>Connection closed by the device</translation>
    </message>
    <message>
        <source>正在连接 %1…</source>
        <translation>Connecting to %1…</translation>
    </message>
    <message>
        <source>已连接 %1 → %2，自 %3</source>
        <translation>Connected %1 → %2, since %3</translation>
    </message>
    <message>
        <source>未连接</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>，%1 秒后重新连接</source>
        <translation>, reconnecting in %1 s</translation>
    </message>
</context>
<context>
    <name>tamrel::MainActions</name>
    <message>
        <source>暂停显示</source>
        <translation>Pause display</translation>
    </message>
    <message>
        <source>继续显示</source>
        <translation>Resume display</translation>
    </message>
    <message>
        <source>报文处理</source>
        <translation>Frames</translation>
    </message>
    <message>
        <source>收报显示清空</source>
        <translation>Clear received frames</translation>
    </message>
    <message>
        <source>保存收报...</source>
        <translation>Save received frames...</translation>
    </message>
    <message>
        <source>提取收报...</source>
        <translation>Load received frames...</translation>
    </message>
    <message>
        <source>保存发报...</source>
        <translation>Save send frames...</translation>
    </message>
    <message>
        <source>提取发报...</source>
        <translation>Load send frames...</translation>
    </message>
    <message>
        <source>发报内容清空</source>
        <translation>Clear send frames</translation>
    </message>
    <message>
        <source>参数设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>发报方式...</source>
        <translation>Send mode...</translation>
    </message>
    <message>
        <source>以太网配置...</source>
        <translation>Ethernet setup...</translation>
    </message>
    <message>
        <source>立即发报</source>
        <translation>Send now</translation>
    </message>
    <message>
        <source>附加功能</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>添加校验码</source>
        <translation>Append checksum</translation>
    </message>
    <message>
        <source>最后字节添加求和校验</source>
        <translation>Appends the sum of the bytes as the last byte</translation>
    </message>
    <message>
        <source>添加0x68报文</source>
        <translation>Wrap in 0x68 frame</translation>
    </message>
    <message>
        <source>过滤报文...</source>
        <translation>Filter frames...</translation>
    </message>
    <message>
        <source>触发器...</source>
        <translation>Triggers...</translation>
    </message>
    <message>
        <source>收报定时保存...</source>
        <translation>Timed save of received frames...</translation>
    </message>
    <message>
        <source>保存配置...</source>
        <translation>Save profile...</translation>
    </message>
    <message>
        <source>打开配置...</source>
        <translation>Open profile...</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>View</translation>
    </message>
    <message>
        <source>工具条</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>报文解析</source>
        <translation>Frame decoder</translation>
    </message>
    <message>
        <source>链路监视</source>
        <translation>Link supervision</translation>
    </message>
    <message>
        <source>数据点表</source>
        <translation>Data points</translation>
    </message>
    <message>
        <source>显示源地址</source>
        <translation>Show source address</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>Milliseconds</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>使用说明</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>关于...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>过滤报文</source>
        <translation>Filter frames</translation>
    </message>
    <message>
        <source>触发器</source>
        <translation>Triggers</translation>
    </message>
    <message>
        <source>保存收报</source>
        <translation>Save received frames</translation>
    </message>
    <message>
        <source>提取发报</source>
        <translation>Load send frames</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>tamrel::MainArea</name>
    <message>
        <source>接收报文</source>
        <translation>Received frames</translation>
    </message>
    <message>
        <source>发送报文</source>
        <translation>Frames to send</translation>
    </message>
</context>
<context>
    <name>tamrel::SendRules</name>
    <message>
        <source>请输入正实数！</source>
        <translation>Enter a positive number!</translation>
    </message>
    <message>
        <source>请输入正实数!</source>
        <translation>Enter a positive number!</translation>
    </message>
    <message>
        <source>发报格式错误,请修改! eg:&quot;01 03 1A&quot;</source>
        <translation>Wrong frame format, please correct it! e.g. &quot;01 03 1A&quot;</translation>
    </message>
    <message>
        <source>请更改循环发送方式为其它</source>
        <translation>Choose a send mode other than loop to send now</translation>
    </message>
</context>
<context>
    <name>tamrel::ServerSide</name>
    <message>
        <source>服务器端口:</source>
        <translation>Server port: </translation>
    </message>
    <message>
        <source>Tamrel-通用TCP通信服务器监测工具（V1.5版）</source>
        <translation>Tamrel - TCP server monitor (V1.5)</translation>
    </message>
    <message>
        <source>服务器监听</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>开始监听</source>
        <translation>Start listening</translation>
    </message>
    <message>
        <source>停止监听</source>
        <translation>Stop listening</translation>
    </message>
    <message>
        <source>服务器配置</source>
        <translation>Server setup</translation>
    </message>
    <message>
        <source>TCP服务器监测 V1.5</source>
        <translation>TCP server monitor V1.5</translation>
    </message>
    <message>
        <source>Tamrel-通用TCP通信服务器监测工具  V1.5版</source>
        <translation>Tamrel - TCP server monitor  V1.5</translation>
    </message>
    <message>
        <source>本版新增：
1. 过滤报文功能，只显示指定字节为指定值的报文；
2. 修正收报定时保存的问题；
3. 改进窗口布局，接收区与发送区可拖动分隔。</source>
        <translation>New in this version:
1. Frame filter: only frames with a given value at a given byte are shown;
2. Timed save of received frames mended;
3. Better window layout: the divider between the receive and send areas can be dragged.</translation>
    </message>
</context>
<context>
    <name>tamrel::TF_connect</name>
    <message>
        <source>服务器连接配置</source>
        <translation>Server connection setup</translation>
    </message>
    <message>
        <source>服务器地址设置</source>
        <translation>Server address</translation>
    </message>
    <message>
        <source>主机</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>主机名或IP地址</source>
        <translation>Host name or IP address</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>Connection time-out</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>断线后自动重连</source>
        <translation>Reconnect after a drop</translation>
    </message>
    <message>
        <source>重连间隔</source>
        <translation>Reconnect interval</translation>
    </message>
</context>
<context>
    <name>tamrel::TF_csn</name>
    <message>
        <source>服务器端口配置</source>
        <translation>Server port setup</translation>
    </message>
    <message>
        <source>服务器端口设置</source>
        <translation>Server port</translation>
    </message>
    <message>
        <source>端                  口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>只监听IPv4 (0.0.0.0)</source>
        <translation>Listen on IPv4 only (0.0.0.0)</translation>
    </message>
</context>
<context>
    <name>tamrel::TamrelProfile</name>
    <message>
        <source>发送间隔应为不小于0的秒数</source>
        <translation>The send interval must be 0 seconds or more</translation>
    </message>
    <message>
        <source>“Splitter”应为以逗号分开的高度</source>
        <translation>&quot;Splitter&quot; must be heights separated by commas</translation>
    </message>
</context>
<context>
    <name>tamrel::Tf_decode</name>
    <message>
        <source>报文解析</source>
        <translation>Frame decoder</translation>
    </message>
</context>
<context>
    <name>tamrel::Tf_filter</name>
    <message>
        <source>过滤报文</source>
        <translation>Filter frames</translation>
    </message>
    <message>
        <source>字节数为十进制，报文为十六进制,如“第11个字节为0A&quot;</source>
        <translation>Byte positions are decimal, values hex, e.g. &quot;byte 11 = 0A&quot;</translation>
    </message>
    <message>
        <source>滤取报文</source>
        <translation>Show only frames</translation>
    </message>
    <message>
        <source>只显示第</source>
        <translation>Show only frames with byte</translation>
    </message>
    <message>
        <source>个字节为</source>
        <translation>=</translation>
    </message>
    <message>
        <source>的报文</source>
        <translation>(hex)</translation>
    </message>
    <message>
        <source>第%1个条件 启用</source>
        <translation>Condition %1 on</translation>
    </message>
    <message>
        <source>第%1个条件 字节位置</source>
        <translation>Condition %1 byte position</translation>
    </message>
    <message>
        <source>第%1个条件 字节值</source>
        <translation>Condition %1 byte value</translation>
    </message>
</context>
<context>
    <name>tamrel::Tf_linkwatch</name>
    <message>
        <source>链路监视</source>
        <translation>Link supervision</translation>
    </message>
</context>
<context>
    <name>tamrel::Tf_main</name>
    <message>
        <source>您真要退出吗？提醒您保存数据！</source>
        <translation>Do you really want to exit? Remember to save your data!</translation>
    </message>
    <message>
        <source>退出应用程序？</source>
        <translation>Exit the application?</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save profile</translation>
    </message>
    <message>
        <source>配置文件 (*.ini);;所有文件 (*)</source>
        <translation>Profiles (*.ini);;All files (*)</translation>
    </message>
</context>
<context>
    <name>tamrel::Tf_points</name>
    <message>
        <source>数据点表</source>
        <translation>Data points</translation>
    </message>
</context>
<context>
    <name>tamrel::Tf_save</name>
    <message>
        <source>保存的接收文件都在Ostrel
执行目录下,文件名依次为
Receive0.dat，receive1.dat...</source>
        <translation>The received frames are saved in the
program&apos;s working folder, in the files
Receive0.dat, receive1.dat...</translation>
    </message>
</context>
<context>
    <name>tamrel::Tf_sendstyle</name>
    <message>
        <source>发送报文方式</source>
        <translation>Send mode</translation>
    </message>
    <message>
        <source>发送形式</source>
        <translation>Send mode</translation>
    </message>
    <message>
        <source>单行发送报文</source>
        <translation>Send a single line</translation>
    </message>
    <message>
        <source>单行循环发送报文</source>
        <translation>Loop over lines</translation>
    </message>
    <message>
        <source>随机选行发送报文</source>
        <translation>Send a random line</translation>
    </message>
    <message>
        <source>可选方式</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>定时发报</source>
        <translation>Send on a timer</translation>
    </message>
    <message>
        <source>循环时间间隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
</context>
<context>
    <name>tamrel::Tf_version</name>
    <message>
        <source>版本信息</source>
        <translation>Version information</translation>
    </message>
    <message>
        <source>版本说明</source>
        <translation>Release notes</translation>
    </message>
</context>
</TS>
