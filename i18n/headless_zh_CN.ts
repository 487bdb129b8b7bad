<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>ostrel-headless</name>
    <message>
        <source>the points could not be written to %1</source>
        <translation>点表未能写入 %1</translation>
    </message>
    <message>
        <source>no folder %1 for the timed-save files</source>
        <translation>定时保存的文件夹 %1 不存在</translation>
    </message>
    <message>
        <source>point list %1</source>
        <translation>点表清单 %1</translation>
    </message>
    <message>
        <source>cannot join %1: %2</source>
        <translation>无法加入组播组 %1：%2</translation>
    </message>
    <message>
        <source>cannot make the capture file %1</source>
        <translation>无法建立抓包文件 %1</translation>
    </message>
    <message>
        <source>cannot make the events file %1: %2</source>
        <translation>无法建立事件文件 %1：%2</translation>
    </message>
    <message>
        <source>events to %1</source>
        <translation>事件写入 %1</translation>
    </message>
    <message>
        <source>cannot write the points file %1: %2</source>
        <translation>无法写入点表文件 %1：%2</translation>
    </message>
    <message>
        <source>capture to %1</source>
        <translation>抓包写入 %1</translation>
    </message>
    <message>
        <source>cannot make the capture file %1; the capture goes on in %2</source>
        <translation>无法建立抓包文件 %1；抓包继续写入 %2</translation>
    </message>
    <message>
        <source>%1 is a symbolic link: not followed, the capture takes the next free name</source>
        <translation>%1 是符号链接：不跟随，抓包改用下一个空闲的文件名</translation>
    </message>
    <message>
        <source>an event could not be written to %1</source>
        <translation>一条事件未能写入 %1</translation>
    </message>
    <message>
        <source>answer to %1:%2 not sent: %3</source>
        <translation>发往 %1:%2 的应答报文未发出：%3</translation>
    </message>
    <message>
        <source>answer to %1 not sent: %2</source>
        <translation>发往 %1 的应答报文未发出：%2</translation>
    </message>
    <message>
        <source>capture not written to %1: %2 (%3 packets lost in all)</source>
        <translation>抓包未写入 %1：%2（共丢失 %3 个报文）</translation>
    </message>
    <message>
        <source>capture written to %1 again, after %2 packets lost</source>
        <translation>抓包重新写入 %1，此前丢失 %2 个报文</translation>
    </message>
    <message>
        <source>%1 (and %2 more errors since the last report)</source>
        <translation>%1（自上次报告以来另有 %2 个错误）</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>请用 &apos;%1 --help&apos; 查看更多信息。</translation>
    </message>
    <message>
        <source>Ostrel&apos;s listening, triggers, timed save and packet capture without a display: listens on one UDP port, answers datagrams by trigger rules and logs what arrives.</source>
        <translation>Ostrel 的端口监听、触发器、定时保存和抓包，无需显示器：监听一个 UDP 端口，按触发规则应答收到的报文，并记录收到的全部报文。</translation>
    </message>
    <message>
        <source>Displays this help and exits.</source>
        <translation>显示本帮助并退出。</translation>
    </message>
    <message>
        <source>Displays version information and exits.</source>
        <translation>显示版本信息并退出。</translation>
    </message>
    <message>
        <source>UDP port listened on, on all addresses of both IPv4 and IPv6 (default 1888; 0: one the system chooses, shown on standard error).</source>
        <translation>监听的 UDP 端口，在 IPv4 和 IPv6 的所有地址上监听（默认 1888；0：由系统选择，端口号显示在标准错误输出上）。</translation>
    </message>
    <message>
        <source>Where answers go, all from one port (default 127.0.0.1:1889); an IPv6 address in brackets: [::1]:1889.</source>
        <translation>应答报文的目的地址，全部从同一个端口发出（默认 127.0.0.1:1889）；IPv6 地址写在方括号内：[::1]:1889。</translation>
    </message>
    <message>
        <source>Join the multicast group on the interface named (the system&apos;s choice without one) and receive what is sent to it on the port; may be given many times.</source>
        <translation>在指定网卡上加入组播组（未指定网卡时由系统选择），并在监听端口上接收发往该组的报文；可多次给出。</translation>
    </message>
    <message>
        <source>Listen for IPv4 peers only (on 0.0.0.0).</source>
        <translation>只监听 IPv4 对端（在 0.0.0.0 上）。</translation>
    </message>
    <message>
        <source>Hop limit (TTL) of answers sent to a multicast group, 0 to 255 (default: the system&apos;s, 1).</source>
        <translation>发往组播组的应答报文的跳数限制（TTL），0 到 255（默认：系统的值，1）。</translation>
    </message>
    <message>
        <source>Interface answers to a multicast group leave by (default: the system&apos;s choice).</source>
        <translation>发往组播组的应答报文所走的网卡（默认：由系统选择）。</translation>
    </message>
    <message>
        <source>A trigger rule; may be given many times, the first match answers.</source>
        <translation>一条触发规则；可多次给出，由第一条匹配的规则应答。</translation>
    </message>
    <message>
        <source>Show and save datagrams as text, as Ostrel&apos;s ASCII receive mode (no triggers, no timed-save lines).</source>
        <translation>按文本显示和保存报文，同 Ostrel 的 ASCII 接收方式（不用触发器，不写定时保存的行）。</translation>
    </message>
    <message>
        <source>Put the time of arrival in front of each line.</source>
        <translation>在每行前面加上报文的接收时间。</translation>
    </message>
    <message>
        <source>Timed save every M minutes (a fraction allowed).</source>
        <translation>每 M 分钟定时保存一次（可用小数）。</translation>
    </message>
    <message>
        <source>Folder of the timed-save files (default: the current directory).</source>
        <translation>定时保存文件的文件夹（默认：当前目录）。</translation>
    </message>
    <message>
        <source>Write every datagram received and every answer sent to FILE (pcapng).</source>
        <translation>把收到的每个报文和发出的每个应答报文写入 FILE（pcapng 格式的抓包文件）。</translation>
    </message>
    <message>
        <source>Write the link supervision&apos;s events (IEC 104 and MODBUS) to FILE as CSV, one line per event.</source>
        <translation>把链路监视的事件（IEC 104 和 MODBUS）以 CSV 格式写入 FILE，每个事件一行。</translation>
    </message>
    <message>
        <source>Write the point table (every point&apos;s latest value) to FILE as CSV at every timed save and at the end.</source>
        <translation>每次定时保存时和结束时，把点表（每个点的最新值）以 CSV 格式写入 FILE。</translation>
    </message>
    <message>
        <source>Check the points against the station&apos;s point list (CSV); a summary goes to standard error at the end.</source>
        <translation>按厂站的点表清单（CSV）核对各点；结束时在标准错误输出上写一行汇总。</translation>
    </message>
    <message>
        <source>Answer from the listening port to the address and port the datagram came from, instead of --to.</source>
        <translation>从监听端口回复到报文的源地址和端口，而不是发往 --to。</translation>
    </message>
    <message>
        <source>Send each answer to --to from a new port, as Ostrel&apos;s window does.</source>
        <translation>每个应答报文都从一个新端口发往 --to，同 Ostrel 窗口的做法。</translation>
    </message>
    <message>
        <source>Write nothing to standard output.</source>
        <translation>不向标准输出写任何内容。</translation>
    </message>
    <message>
        <source>Language of the messages and of this help: zh (Chinese) or en (English). Without it the desktop&apos;s language decides as for Ostrel (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): Chinese for a Chinese desktop and the C locale, English for any other. The lines written and the files are the same in both languages.</source>
        <translation>提示信息和本帮助的语言：zh（中文）或 en（英文）。不给出时同 Ostrel 一样由桌面的语言决定（LANGUAGE、LC_ALL、LC_MESSAGES、LANG）：中文桌面和 C locale 用中文，其他语言用英文。两种语言下输出的报文行和文件完全相同。</translation>
    </message>
    <message>
        <source>--lang given more than once.</source>
        <translation>--lang 给出了不止一次。</translation>
    </message>
    <message>
        <source>--lang: &apos;%1&apos; is not zh or en.</source>
        <translation>--lang：&apos;%1&apos; 既不是 zh 也不是 en。</translation>
    </message>
    <message>
        <source>Usage: %1 [options]</source>
        <translation>用法：%1 [选项]</translation>
    </message>
    <message>
        <source>
Each datagram received on the port is written to standard output as one line
in Ostrel&apos;s receive format (hex byte pairs, or ASCII text with --ascii; the
time in front with --time): flushed per line when standard output is a
terminal, in blocks otherwise. Errors go to standard error.

Trigger rules are Ostrel&apos;s: PATTERN and RESPONSE are hex byte pairs separated
by spaces (&quot;01 03 1A&quot;); a pattern may hold one wildcard, &quot;??&quot; for exactly one
byte or &quot;**&quot; for one or more bytes. The first rule that matches a datagram
answers it, later rules are not tried. Rules are not used with --ascii.

Timed save writes everything received (hex mode) every M minutes to the next
file receive&lt;N&gt;.dat of the save folder, under a date line; N goes on after
the highest such file the folder holds, so no earlier file is replaced.

Signals: SIGTERM and SIGINT end the program after the datagrams being read:
the timed-save lines are written to the next file and the capture is closed.
SIGHUP starts a new capture file and closes the one before: FILE with a
number before its last extension (cap.pcapng, then cap.1.pcapng,
cap.2.pcapng, ...). A capture never writes over a file or through a link:
a name that exists is passed over for the next number. A packet the capture
cannot write (a full disk) is lost whole and counted.

The events file gets a header line, then one CSV line per event of the link
supervision (every datagram received and every answer sent, per peer
address), written out as each event is found; like the capture it is made
after the port is bound and never over a file that exists (the next
numbered name is taken). At SIGTERM or SIGINT a summary line of the link
supervision goes to standard error.

The points file is the point table as CSV (UTF-8): one row per point seen
in the datagrams both ways (IEC 104/101, MODBUS, DNP3, CDT; keyed by
protocol, station and address), with its latest value, quality, cause, time
tag, counts and the marks of the point list&apos;s check. It is written once the
port is listened on (the header row: a file that cannot be written ends the
start with 1), at every timed save and at SIGTERM or SIGINT, each time
replacing the file whole. The
point list (CSV with the columns protocol, station, address, name, type,
unit, low, high) is read at start: a list with a fault ends the start with 1
and names its line. Points the list has and nothing sent are rows marked
&quot;未收到&quot;. At SIGTERM or SIGINT a summary line of the point table goes to
standard error.

Exit status:
  0  ended by SIGTERM or SIGINT with everything written; --help, --version
  1  the port could not be listened on, or a file could not be made or
     written (packets lost from the capture, the last timed save)
  2  a bad option, value or trigger rule (the trigger dialog&apos;s message)
</source>
        <translation>
收到的每个报文按 Ostrel 的接收格式在标准输出上写一行（十六进制字节对，
用 --ascii 时为 ASCII 文本；用 --time 时行首加接收时间）：标准输出是终端时
逐行输出，否则成块输出。错误信息写到标准错误输出。

触发规则同 Ostrel：PATTERN 和 RESPONSE 是以空格分隔的十六进制字节对
（&quot;01 03 1A&quot;）；触发报文中可有一个通配符，&quot;??&quot; 匹配正好一个字节，&quot;**&quot; 匹配
一个或多个字节。由第一条与报文匹配的规则应答，不再尝试后面的规则。
用 --ascii 时不使用触发规则。

定时保存每 M 分钟把收到的全部报文（十六进制方式）写入保存文件夹中的下一个
文件 receive&lt;N&gt;.dat，前面加一行日期；N 接着文件夹中已有的最大编号往下排，
因此不会覆盖以前的文件。

信号：SIGTERM 和 SIGINT 在读完正在读取的报文后结束程序：定时保存的行写入
下一个文件，抓包文件关闭。SIGHUP 新建一个抓包文件并关闭前一个：在 FILE 的
最后一个扩展名前加编号（cap.pcapng，然后 cap.1.pcapng、cap.2.pcapng ...）。
抓包从不覆盖文件，也不通过符号链接写入：已存在的文件名跳过，改用下一个编号。
抓包无法写入的报文（磁盘已满）整个丢弃并计数。

事件文件先写一行表头，然后链路监视的每个事件写一行 CSV（收到的每个报文和
发出的每个应答报文，按对端地址区分），每发现一个事件就写出；同抓包文件一样，
它在端口绑定之后才建立，从不覆盖已存在的文件（改用下一个编号的文件名）。
收到 SIGTERM 或 SIGINT 时，在标准错误输出上写一行链路监视的汇总。

点表文件是 CSV（UTF-8）格式的点表：在两个方向的报文中见到的每个点一行
（IEC 104/101、MODBUS、DNP3、CDT；按规约、厂站和地址区分），包括最新值、
品质、传送原因、时标、计数和点表清单核对的标记。端口开始监听时写一次
（表头行：文件无法写入时启动以 1 结束），每次定时保存时和收到 SIGTERM 或
SIGINT 时再写，每次整个替换文件。点表清单（CSV，列为 protocol、station、
address、name、type、unit、low、high）在启动时读入：清单有错时启动以 1 结束，
并指出出错的行。清单中有而未收到任何数据的点，其行标记为 &quot;未收到&quot;。
收到 SIGTERM 或 SIGINT 时，在标准错误输出上写一行点表的汇总。

退出状态：
  0  由 SIGTERM 或 SIGINT 结束且全部写完；--help、--version
  1  无法监听端口，或文件无法建立或写入（抓包丢失报文、最后一次定时保存）
  2  选项、参数值或触发规则不对（显示触发器对话框的提示）
</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;.</source>
        <translation>多余的参数 &apos;%1&apos;。</translation>
    </message>
    <message>
        <source>--%1 given more than once.</source>
        <translation>--%1 给出了不止一次。</translation>
    </message>
    <message>
        <source>--listen: &apos;%1&apos; is not a port number.</source>
        <translation>--listen：&apos;%1&apos; 不是端口号。</translation>
    </message>
    <message>
        <source>--to: &apos;%1&apos; is not HOST:PORT.</source>
        <translation>--to：&apos;%1&apos; 不是 HOST:PORT 格式。</translation>
    </message>
    <message>
        <source>--trigger &apos;%1&apos;: not PATTERN=RESPONSE.</source>
        <translation>--trigger &apos;%1&apos;：不是 PATTERN=RESPONSE 格式。</translation>
    </message>
    <message>
        <source>--trigger &apos;%1&apos;: %2</source>
        <translation>--trigger &apos;%1&apos;：%2</translation>
    </message>
    <message>
        <source>--save-minutes: &apos;%1&apos; is not a number of minutes above 0.</source>
        <translation>--save-minutes：&apos;%1&apos; 不是大于 0 的分钟数。</translation>
    </message>
    <message>
        <source>--save-dir needs --save-minutes.</source>
        <translation>--save-dir 需要同时给出 --save-minutes。</translation>
    </message>
    <message>
        <source>--pcap needs a file name.</source>
        <translation>--pcap 需要文件名。</translation>
    </message>
    <message>
        <source>--events needs a file name.</source>
        <translation>--events 需要文件名。</translation>
    </message>
    <message>
        <source>--points needs a file name.</source>
        <translation>--points 需要文件名。</translation>
    </message>
    <message>
        <source>--point-list needs a file name.</source>
        <translation>--point-list 需要文件名。</translation>
    </message>
    <message>
        <source>--multicast-ttl: &apos;%1&apos; is not a number from 0 to 255.</source>
        <translation>--multicast-ttl：&apos;%1&apos; 不是 0 到 255 之间的数。</translation>
    </message>
    <message>
        <source>--multicast-if needs an interface name.</source>
        <translation>--multicast-if 需要网卡名。</translation>
    </message>
    <message>
        <source>%1 packets lost: they could not be written to the capture</source>
        <translation>丢失 %1 个报文：未能写入抓包文件</translation>
    </message>
</context>
</TS>
