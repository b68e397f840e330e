<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>BridgedWebPage</name>
    <message>
        <source>The page says</source>
        <translation>网页消息</translation>
    </message>
    <message>
        <source>The page at %1 says</source>
        <translation>来自 %1 网页的消息</translation>
    </message>
</context>
<context>
    <name>ConnectionManager</name>
    <message>
        <source>Unable to establish secure connection to server</source>
        <translation>无法与服务器建立安全连接</translation>
    </message>
    <message>
        <source>Connection to port %1 on host %2 refused, retry?</source>
        <translation>主机 %2 的端口 %1 拒绝连接，是否重试？</translation>
    </message>
    <message>
        <source>Host %1 not found, retry?</source>
        <translation>找不到主机 %1，是否重试？</translation>
    </message>
    <message>
        <source>Connection to port %1 on host %2 timed out, retry?</source>
        <translation>连接主机 %2 的端口 %1 超时，是否重试？</translation>
    </message>
    <message>
        <source>Network error</source>
        <translation>网络错误</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Denied</source>
        <translation>被拒绝</translation>
    </message>
    <message>
        <source>Already Seated</source>
        <translation>已经入座</translation>
    </message>
    <message>
        <source>Plain string</source>
        <translation>纯文本</translation>
    </message>
    <message>
        <source>Forbidden</source>
        <translation>禁止</translation>
    </message>
    <message>
        <source>User name already in use</source>
        <translation>用户名已被使用</translation>
    </message>
    <message>
        <source>User name invalid</source>
        <translation>用户名无效</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>密码无效</translation>
    </message>
    <message>
        <source>Email already in use</source>
        <translation>电子邮件地址已被使用</translation>
    </message>
    <message>
        <source>Email invalid</source>
        <translation>电子邮件地址无效</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>未报名</translation>
    </message>
    <message>
        <source>Tournament finished</source>
        <translation>比赛已结束</translation>
    </message>
    <message>
        <source>Registration not closed</source>
        <translation>报名尚未截止</translation>
    </message>
    <message>
        <source>Invalid state</source>
        <translation>状态无效</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>EmbeddedBrowser</name>
    <message>
        <source>%p%</source>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Secure connection</source>
        <translation>安全连接</translation>
    </message>
    <message>
        <source>Insecure connection</source>
        <translation>不安全的连接</translation>
    </message>
</context>
<context>
    <name>EmbeddedView</name>
    <message>
        <source>TextLabel</source>
        <translation>文本标签</translation>
    </message>
    <message>
        <source>Players with the highest accumulated scores.</source>
        <translation>累计得分最高的玩家。</translation>
    </message>
</context>
<context>
    <name>Mahjong</name>
    <message>
        <source>Green Dragon</source>
        <translation>发</translation>
    </message>
    <message>
        <source>Red Dragon</source>
        <translation>中</translation>
    </message>
    <message>
        <source>White Dragon</source>
        <translation>白</translation>
    </message>
    <message>
        <source>East Wind</source>
        <translation>东风</translation>
    </message>
    <message>
        <source>South Wind</source>
        <translation>南风</translation>
    </message>
    <message>
        <source>West Wind</source>
        <translation>西风</translation>
    </message>
    <message>
        <source>North Wind</source>
        <translation>北风</translation>
    </message>
    <message>
        <source>Spring</source>
        <translation>春</translation>
    </message>
    <message>
        <source>Summer</source>
        <translation>夏</translation>
    </message>
    <message>
        <source>Autumn</source>
        <translation>秋</translation>
    </message>
    <message>
        <source>Winter</source>
        <translation>冬</translation>
    </message>
    <message>
        <source>Plum blossom</source>
        <translation>梅</translation>
    </message>
    <message>
        <source>Orchid</source>
        <translation>兰</translation>
    </message>
    <message>
        <source>Chrysanthemum</source>
        <translation>菊</translation>
    </message>
    <message>
        <source>Bamboo</source>
        <translation>条</translation>
    </message>
    <message>
        <source>Character</source>
        <translation>万</translation>
    </message>
    <message>
        <source>Circle</source>
        <translation>饼</translation>
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Season and number, e.g. Winter 2</comment>
        <extracomment>Season and number, e.g. Winter 2</extracomment>
        <translation>%1 %L2</translation>
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Flower and number, e.g. Orchid 3</comment>
        <translation>%1 %L2</translation>
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Suit and number, e.g. Bamboo 7</comment>
        <translation>%1 %L2</translation>
    </message>
    <message>
        <source>East</source>
        <translation>东</translation>
    </message>
    <message>
        <source>South</source>
        <translation>南</translation>
    </message>
    <message>
        <source>West</source>
        <translation>西</translation>
    </message>
    <message>
        <source>North</source>
        <translation>北</translation>
    </message>
    <message>
        <source>Prevalent wind: East</source>
        <translation>圈风：东</translation>
    </message>
    <message>
        <source>Prevalent wind: South</source>
        <translation>圈风：南</translation>
    </message>
    <message>
        <source>Prevalent wind: West</source>
        <translation>圈风：西</translation>
    </message>
    <message>
        <source>Prevalent wind: North</source>
        <translation>圈风：北</translation>
    </message>
</context>
<context>
    <name>MahjongApplication</name>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>%1
Please send the log file '%2' to </source>
        <translation>%1
请将日志文件“%2”发送至 </translation>
    </message>
    <message>
        <source> with a description of what happened.</source>
        <translation>，并附上发生情况的说明。</translation>
    </message>
    <message>
        <source>Invalid server data.
Refused with message: %1</source>
        <translation>服务器数据无效。
拒绝信息：%1</translation>
    </message>
    <message>
        <source>Unhandled Runtime Error.
Error text: %1</source>
        <translation>未处理的运行时错误。
错误信息：%1</translation>
    </message>
    <message>
        <source>Unhandled Runtime Error.</source>
        <translation>未处理的运行时错误。</translation>
    </message>
    <message>
        <source>Application Started</source>
        <translation>程序已启动</translation>
    </message>
    <message>
        <source>The application is already started in another window!</source>
        <translation>程序已在另一个窗口中运行！</translation>
    </message>
    <message numerus="yes">
        <source>%Ln day(s)</source>
        <translation><numerusform>%Ln天</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Lnh</source>
        <translation><numerusform>%Ln小时</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Ln min(s)</source>
        <translation><numerusform>%Ln分钟</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Ln second(s)</source>
        <translation><numerusform>%Ln秒</numerusform></translation>
    </message>
</context>
<context>
    <name>MahjongDialog</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
</context>
<context>
    <name>InstallerFetch</name>
    <message>
        <source>this system cannot make secure connections</source>
        <translation>此系统无法建立安全连接</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>操作已取消</translation>
    </message>
    <message>
        <source>Connection closed</source>
        <translation>连接已关闭</translation>
    </message>
    <message>
        <source>the server's answer is malformed</source>
        <translation>服务器的应答格式不正确</translation>
    </message>
    <message>
        <source>the server redirected the download more than %1 times</source>
        <translation>服务器重定向下载超过 %1 次</translation>
    </message>
    <message>
        <source>the server redirected the download to an address that is not a web address</source>
        <translation>服务器将下载重定向到一个不是网址的地址</translation>
    </message>
    <message>
        <source>the server redirected the download from a secure address to an insecure one</source>
        <translation>服务器将下载从安全地址重定向到不安全的地址</translation>
    </message>
</context>
<context>
    <name>NewVersionDialog</name>
    <message>
        <source>New version available</source>
        <translation>有新版本可用</translation>
    </message>
    <message>
        <source>Click here to download new version!</source>
        <translation>点击此处下载新版本！</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>继续</translation>
    </message>
    <message>
        <source>Download error</source>
        <translation>下载错误</translation>
    </message>
    <message>
        <source>The new version is offered at %1, which is neither a secure address nor the update server. It was not downloaded.</source>
        <translation>新版本的地址 %1 既不是安全地址，也不是更新服务器，因此没有下载。</translation>
    </message>
    <message>
        <source>Unable to open file %1: %2.</source>
        <translation>无法打开文件 %1：%2。</translation>
    </message>
    <message>
        <source>Client download</source>
        <translation>客户端下载</translation>
    </message>
    <message>
        <source>Download failed: %1 %2</source>
        <translation>下载失败：%1 %2</translation>
    </message>
    <message>
        <source>Unable to write file %1: %2.</source>
        <translation>无法写入文件 %1：%2。</translation>
    </message>
    <message>
        <source>Download failed: %1.</source>
        <translation>下载失败：%1。</translation>
    </message>
    <message>
        <source>Install error</source>
        <translation>安装错误</translation>
    </message>
    <message>
        <source>Couldn't start the installer!</source>
        <translation>无法启动安装程序！</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>文件为空</translation>
    </message>
    <message>
        <source>the file is shorter than announced</source>
        <translation>文件比声明的大小短</translation>
    </message>
    <message>
        <source>the server sent the installer without a stated length</source>
        <translation>服务器发送的安装程序没有声明长度</translation>
    </message>
    <message>
        <source>the server sent the installer packed as %1</source>
        <translation>服务器以 %1 压缩方式发送了安装程序</translation>
    </message>
    <message>
        <source>the server sent a web page, not the installer</source>
        <translation>服务器发送的是网页，而不是安装程序</translation>
    </message>
    <message>
        <source>Download failed: the server stopped answering.</source>
        <translation>下载失败：服务器停止了响应。</translation>
    </message>
    <message>
        <source>the disk is full or the file is too large</source>
        <translation>磁盘已满或文件过大</translation>
    </message>
    <message>
        <source>the file was changed on the disk</source>
        <translation>磁盘上的文件已被更改</translation>
    </message>
</context>
<context>
    <name>Scores</name>
    <message>
        <source>Bonus</source>
        <translation>奖励</translation>
    </message>
    <message>
        <source>Going mahjong</source>
        <translation>和牌</translation>
    </message>
    <message>
        <source>Kong of simples</source>
        <translation>中张杠</translation>
    </message>
    <message>
        <source>Kong of terminals</source>
        <translation>幺九杠</translation>
    </message>
    <message>
        <source>Kong of honors</source>
        <translation>字牌杠</translation>
    </message>
    <message>
        <source>Concealed kong of simples</source>
        <translation>中张暗杠</translation>
    </message>
    <message>
        <source>Concealed kong of terminals</source>
        <translation>幺九暗杠</translation>
    </message>
    <message>
        <source>Concealed kong of honors</source>
        <translation>字牌暗杠</translation>
    </message>
    <message>
        <source>Pong of simples</source>
        <translation>中张刻子</translation>
    </message>
    <message>
        <source>Pong of terminals</source>
        <translation>幺九刻子</translation>
    </message>
    <message>
        <source>Pong of honors</source>
        <translation>字牌刻子</translation>
    </message>
    <message>
        <source>Concealed pong of simples</source>
        <translation>中张暗刻</translation>
    </message>
    <message>
        <source>Concealed pong of terminals</source>
        <translation>幺九暗刻</translation>
    </message>
    <message>
        <source>Concealed pong of honors</source>
        <translation>字牌暗刻</translation>
    </message>
    <message>
        <source>Chow</source>
        <translation>顺子</translation>
    </message>
    <message>
        <source>Pair</source>
        <translation>对子</translation>
    </message>
    <message>
        <source>Pair of dragons</source>
        <translation>箭牌对子</translation>
    </message>
    <message>
        <source>Pair in own and prevailing wind</source>
        <translation>门风圈风对子</translation>
    </message>
    <message>
        <source>Pair in own wind</source>
        <translation>门风对子</translation>
    </message>
    <message>
        <source>Pair in prevailing wind</source>
        <translation>圈风对子</translation>
    </message>
    <message>
        <source>Filling only place</source>
        <translation>独听</translation>
    </message>
    <message>
        <source>Last tile from wall</source>
        <translation>最后一张牌</translation>
    </message>
    <message>
        <source>Heavens blessing</source>
        <translation>天和</translation>
    </message>
    <message>
        <source>Earths blessing</source>
        <translation>地和</translation>
    </message>
    <message>
        <source>Catching the moon from the bottom of the sea</source>
        <translation>海底捞月</translation>
    </message>
    <message>
        <source>Gathering plum blossom from the roof</source>
        <translation>杠上开花</translation>
    </message>
    <message>
        <source>Kong on kong</source>
        <translation>杠上杠</translation>
    </message>
    <message>
        <source>Thirteen unique wonders</source>
        <translation>十三不靠</translation>
    </message>
    <message>
        <source>Wriggly snake</source>
        <translation>长蛇</translation>
    </message>
    <message>
        <source>Imperial jade</source>
        <translation>绿一色</translation>
    </message>
    <message>
        <source>All honors</source>
        <translation>字一色</translation>
    </message>
    <message>
        <source>Fourfold plenty</source>
        <translation>四杠</translation>
    </message>
    <message>
        <source>Heads and tails</source>
        <translation>清幺九</translation>
    </message>
    <message>
        <source>Four large blessings special</source>
        <translation>大四喜（特殊）</translation>
    </message>
    <message>
        <source>Three great scholars special</source>
        <translation>大三元（特殊）</translation>
    </message>
    <message>
        <source>Gates of heaven</source>
        <translation>九莲宝灯</translation>
    </message>
    <message>
        <source>Buried treasure</source>
        <translation>四暗刻</translation>
    </message>
    <message>
        <source>Chicken hand</source>
        <translation>鸡和</translation>
    </message>
    <message>
        <source>Pure double chow</source>
        <translation>一般高</translation>
    </message>
    <message>
        <source>Mixed double chow</source>
        <translation>喜相逢</translation>
    </message>
    <message>
        <source>Short straight</source>
        <translation>连六</translation>
    </message>
    <message>
        <source>Two terminal chows</source>
        <translation>老少副</translation>
    </message>
    <message>
        <source>Pong of terminals or honors</source>
        <translation>幺九刻</translation>
    </message>
    <message>
        <source>Melded kong</source>
        <translation>明杠</translation>
    </message>
    <message>
        <source>One voided suit</source>
        <translation>缺一门</translation>
    </message>
    <message>
        <source>No honors</source>
        <translation>无字</translation>
    </message>
    <message>
        <source>Flower tiles</source>
        <translation>花牌</translation>
    </message>
    <message>
        <source>Edge wait</source>
        <translation>边张</translation>
    </message>
    <message>
        <source>Closed wait</source>
        <translation>坎张</translation>
    </message>
    <message>
        <source>Single wait</source>
        <translation>单钓将</translation>
    </message>
    <message>
        <source>Self drawn</source>
        <translation>自摸</translation>
    </message>
    <message>
        <source>Dragon pong</source>
        <translation>箭刻</translation>
    </message>
    <message>
        <source>Tile hog</source>
        <translation>四归一</translation>
    </message>
    <message>
        <source>Seat wind</source>
        <translation>门风刻</translation>
    </message>
    <message>
        <source>Concealed hand</source>
        <translation>门前清</translation>
    </message>
    <message>
        <source>Double pong</source>
        <translation>双同刻</translation>
    </message>
    <message>
        <source>Two concealed pongs</source>
        <translation>双暗刻</translation>
    </message>
    <message>
        <source>Concealed kong</source>
        <translation>暗杠</translation>
    </message>
    <message>
        <source>All simples</source>
        <translation>断幺</translation>
    </message>
    <message>
        <source>Outside hand</source>
        <translation>全带幺</translation>
    </message>
    <message>
        <source>Fully concealed hand</source>
        <translation>不求人</translation>
    </message>
    <message>
        <source>Two melded kongs</source>
        <translation>双明杠</translation>
    </message>
    <message>
        <source>Last tile</source>
        <translation>和绝张</translation>
    </message>
    <message>
        <source>One melded one concealed kong</source>
        <translation>明暗杠</translation>
    </message>
    <message>
        <source>Two dragons</source>
        <translation>双箭刻</translation>
    </message>
    <message>
        <source>Melded hand</source>
        <translation>全求人</translation>
    </message>
    <message>
        <source>All types</source>
        <translation>五门齐</translation>
    </message>
    <message>
        <source>Mixed shifted chows</source>
        <translation>三色三步高</translation>
    </message>
    <message>
        <source>Half flush</source>
        <translation>混一色</translation>
    </message>
    <message>
        <source>All pongs</source>
        <translation>碰碰和</translation>
    </message>
    <message>
        <source>Two concealed kongs</source>
        <translation>双暗杠</translation>
    </message>
    <message>
        <source>Mixed triple chow</source>
        <translation>三色三同顺</translation>
    </message>
    <message>
        <source>Mixed shifted pungs</source>
        <translation>三色三节高</translation>
    </message>
    <message>
        <source>Last tile draw</source>
        <translation>妙手回春</translation>
    </message>
    <message>
        <source>Last tile claim</source>
        <translation>海底捞月</translation>
    </message>
    <message>
        <source>Out with replacement tile</source>
        <translation>杠上开花</translation>
    </message>
    <message>
        <source>Reversible tiles</source>
        <translation>推不倒</translation>
    </message>
    <message>
        <source>Mixed straight</source>
        <translation>花龙</translation>
    </message>
    <message>
        <source>Big three winds</source>
        <translation>三风刻</translation>
    </message>
    <message>
        <source>Lower four</source>
        <translation>小于五</translation>
    </message>
    <message>
        <source>Upper four</source>
        <translation>大于五</translation>
    </message>
    <message>
        <source>Knitted straight</source>
        <translation>组合龙</translation>
    </message>
    <message>
        <source>Lesser honors and knitted tiles</source>
        <translation>全不靠</translation>
    </message>
    <message>
        <source>Pure straight</source>
        <translation>清龙</translation>
    </message>
    <message>
        <source>Three suited terminal chows</source>
        <translation>三色双龙会</translation>
    </message>
    <message>
        <source>Pure shifted chows</source>
        <translation>一色三步高</translation>
    </message>
    <message>
        <source>All fives</source>
        <translation>全带五</translation>
    </message>
    <message>
        <source>Triple pung</source>
        <translation>三同刻</translation>
    </message>
    <message>
        <source>Three concealed pungs</source>
        <translation>三暗刻</translation>
    </message>
    <message>
        <source>Seven pairs</source>
        <translation>七对</translation>
    </message>
    <message>
        <source>Greater honors and knitted tiles</source>
        <translation>七星不靠</translation>
    </message>
    <message>
        <source>All even pungs</source>
        <translation>全双刻</translation>
    </message>
    <message>
        <source>Full flush</source>
        <translation>清一色</translation>
    </message>
    <message>
        <source>Pure triple chow</source>
        <translation>一色三同顺</translation>
    </message>
    <message>
        <source>Pure shifted pungs</source>
        <translation>一色三节高</translation>
    </message>
    <message>
        <source>Upper tiles</source>
        <translation>全大</translation>
    </message>
    <message>
        <source>Middle tiles</source>
        <translation>全中</translation>
    </message>
    <message>
        <source>Lower tiles</source>
        <translation>全小</translation>
    </message>
    <message>
        <source>Four pure shifted chows</source>
        <translation>一色四步高</translation>
    </message>
    <message>
        <source>Three kongs</source>
        <translation>三杠</translation>
    </message>
    <message>
        <source>All terminals and honors</source>
        <translation>混幺九</translation>
    </message>
    <message>
        <source>Quadruple chow</source>
        <translation>一色四同顺</translation>
    </message>
    <message>
        <source>Four pure shifted pungs</source>
        <translation>一色四节高</translation>
    </message>
    <message>
        <source>All terminals</source>
        <translation>清幺九</translation>
    </message>
    <message>
        <source>Little four winds</source>
        <translation>小四喜</translation>
    </message>
    <message>
        <source>Little three dragons</source>
        <translation>小三元</translation>
    </message>
    <message>
        <source>Four concealed pungs</source>
        <translation>四暗刻</translation>
    </message>
    <message>
        <source>Pure terminal chows</source>
        <translation>一色双龙会</translation>
    </message>
    <message>
        <source>Big four winds</source>
        <translation>大四喜</translation>
    </message>
    <message>
        <source>Big three dragons</source>
        <translation>大三元</translation>
    </message>
    <message>
        <source>All green</source>
        <translation>绿一色</translation>
    </message>
    <message>
        <source>Nine gates</source>
        <translation>九莲宝灯</translation>
    </message>
    <message>
        <source>Four kongs</source>
        <translation>四杠</translation>
    </message>
    <message>
        <source>Seven shifted pairs</source>
        <translation>连七对</translation>
    </message>
    <message>
        <source>Thirteen orphans</source>
        <translation>十三幺</translation>
    </message>
    <message>
        <source>Blessing of heaven</source>
        <translation>天和</translation>
    </message>
    <message>
        <source>Blessing of earth</source>
        <translation>地和</translation>
    </message>
    <message>
        <source>Blessing of man</source>
        <translation>人和</translation>
    </message>
    <message>
        <source>Pong of dragons</source>
        <translation>箭牌刻子</translation>
    </message>
    <message>
        <source>Kong of dragons</source>
        <translation>箭牌杠</translation>
    </message>
    <message>
        <source>Pong in own wind</source>
        <translation>门风刻子</translation>
    </message>
    <message>
        <source>Kong in own wind</source>
        <translation>门风杠</translation>
    </message>
    <message>
        <source>Pong in prevaling wind</source>
        <translation>圈风刻子</translation>
    </message>
    <message>
        <source>Kong in prevaling wind</source>
        <translation>圈风杠</translation>
    </message>
    <message>
        <source>Three lesser scholars</source>
        <translation>小三元</translation>
    </message>
    <message>
        <source>Three great scholars</source>
        <translation>大三元</translation>
    </message>
    <message>
        <source>Four little joys</source>
        <translation>小四喜</translation>
    </message>
    <message>
        <source>Four large blessings</source>
        <translation>大四喜</translation>
    </message>
    <message>
        <source>Bouqet of flowers</source>
        <translation>四花齐</translation>
    </message>
    <message>
        <source>Bouqet of seasons</source>
        <translation>四季齐</translation>
    </message>
    <message>
        <source>Bouqet of flowers and seasons</source>
        <translation>八花齐</translation>
    </message>
    <message>
        <source>Pair of bonus tiles</source>
        <translation>花牌对</translation>
    </message>
    <message>
        <source>Three concealed pongs</source>
        <translation>三暗刻</translation>
    </message>
    <message>
        <source>Bottom of the sea</source>
        <translation>海底摸月</translation>
    </message>
    <message>
        <source>Winning on the roof</source>
        <translation>杠上开花</translation>
    </message>
    <message>
        <source>Bottom of the river</source>
        <translation>河底捞鱼</translation>
    </message>
    <message>
        <source>Opening a flower</source>
        <translation>花上开花</translation>
    </message>
    <message>
        <source>All chows</source>
        <translation>平和</translation>
    </message>
    <message>
        <source>No chows</source>
        <translation>无顺子</translation>
    </message>
    <message>
        <source>One suit only</source>
        <translation>一色</translation>
    </message>
    <message>
        <source>Major tiles any pair</source>
        <translation>幺九牌带任意将</translation>
    </message>
    <message>
        <source>Major tiles only</source>
        <translation>全幺九</translation>
    </message>
    <message>
        <source>Clear suit</source>
        <translation>清一色</translation>
    </message>
    <message>
        <source>Robbing the kong</source>
        <translation>抢杠和</translation>
    </message>
    <message>
        <source>Closed ron</source>
        <translation>门前荣和</translation>
    </message>
    <message>
        <source>Pinfu</source>
        <translation>平和</translation>
    </message>
    <message>
        <source>After kong</source>
        <translation>岭上开花</translation>
    </message>
    <message>
        <source>Riichi</source>
        <translation>立直</translation>
    </message>
    <message>
        <source>Ippatsu</source>
        <translation>一发</translation>
    </message>
    <message>
        <source>Terminals in all sets</source>
        <translation>纯全带幺九</translation>
    </message>
    <message>
        <source>Twice pure double chows</source>
        <translation>二杯口</translation>
    </message>
    <message>
        <source>Yakuman</source>
        <translation>役满</translation>
    </message>
    <message>
        <source>Daburu riichi</source>
        <translation>双立直</translation>
    </message>
    <message>
        <source>Dora</source>
        <translation>宝牌</translation>
    </message>
    <message>
        <source>Ura dora</source>
        <translation>里宝牌</translation>
    </message>
    <message>
        <source>UNKNOWN SCORE NAME</source>
        <translation>未知的得分名称</translation>
    </message>
    <message>
        <source>UNKNOWN DOUBLE NAME</source>
        <translation>未知的番名</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Initializing...</source>
        <translation>正在初始化...</translation>
    </message>
    <message>
        <source>Checking for updates...</source>
        <translation>正在检查更新...</translation>
    </message>
    <message>
        <source>Checking for updates: connecting to %1...</source>
        <translation>正在检查更新：正在连接 %1...</translation>
    </message>
    <message>
        <source>Checking for updates: waiting for %1...</source>
        <translation>正在检查更新：正在等待 %1 的响应...</translation>
    </message>
</context>
<context>
    <name>TableCapacity</name>
    <message>
        <source>%L2 of %L3 players seated</source>
        <translation>已入座 %L2/%L3 名玩家</translation>
    </message>
</context>
<context>
    <name>TableInfo</name>
    <message>
        <source>Classic</source>
        <translation>经典</translation>
    </message>
    <message>
        <source>International</source>
        <translation>国际规则</translation>
    </message>
    <message>
        <source>Riichi</source>
        <translation>日本麻将</translation>
    </message>
    <message>
        <source>&lt;undefined&gt;</source>
        <translation>&lt;未定义&gt;</translation>
    </message>
    <message>
        <source>Single hand</source>
        <translation>单局</translation>
    </message>
    <message>
        <source>Tournament</source>
        <translation>比赛</translation>
    </message>
    <message>
        <source>Full game</source>
        <translation>完整牌局</translation>
    </message>
    <message>
        <source> single hand</source>
        <translation> 单局</translation>
    </message>
    <message>
        <source> tournament</source>
        <translation> 比赛</translation>
    </message>
    <message>
        <source> full game</source>
        <translation> 完整牌局</translation>
    </message>
    <message numerus="yes">
        <source>%Ln second(s)</source>
        <translation><numerusform>%Ln秒</numerusform></translation>
    </message>
</context>
<context>
    <name>TableModel</name>
    <message>
        <source>%1
%2
%4 - %3
Buy-in: %5</source>
        <translation>%1
%2
%4 - %3
报名费：%5</translation>
    </message>
    <message>
        <source>Max win: %1</source>
        <translation>最高赢取：%1</translation>
    </message>
    <message>
        <source>Place bonus: %1</source>
        <translation>名次奖励：%1</translation>
    </message>
    <message>
        <source>Feeding penalty: %1</source>
        <translation>点炮罚分：%1</translation>
    </message>
    <message>
        <source>Table Name</source>
        <translation>牌桌名称</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Players</source>
        <translation>玩家</translation>
    </message>
    <message>
        <source>Time limit</source>
        <translation>时限</translation>
    </message>
    <message>
        <source>Buy-in</source>
        <translation>报名费</translation>
    </message>
    <message>
        <source>Max win</source>
        <translation>最高赢取</translation>
    </message>
</context>
<context>
    <name>TableValue</name>
    <message>
        <source>buy-in: %1</source>
        <translation>报名费：%1</translation>
    </message>
    <message>
        <source>max win: %1</source>
        <translation>最高赢取：%1</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>free</source>
        <translation>免费</translation>
    </message>
    <message>
        <source>%1 + %2</source>
        <translation>%1 + %2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 (%2) + %3</source>
        <translation>%1 (%2) + %3</translation>
    </message>
    <message>
        <source>1st %1</source>
        <translation>第1名 %1</translation>
    </message>
    <message>
        <source>2nd %1</source>
        <translation>第2名 %1</translation>
    </message>
    <message>
        <source>3rd %1</source>
        <translation>第3名 %1</translation>
    </message>
    <message>
        <source>4th %1</source>
        <translation>第4名 %1</translation>
    </message>
</context>
<context>
    <name>TranslationsManager</name>
    <message>
        <source>English</source>
        <comment>Translated language name, i.e. for a german translation it would be "Deutsch".</comment>
        <translation>中文</translation>
    </message>
</context>
<context>
    <name>Utils</name>
    <message>
        <source>...</source>
        <comment>the ellipsis character</comment>
        <translation>…</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>不适用</translation>
    </message>
    <message>
        <source>&lt;unknown&gt;</source>
        <translation>&lt;未知&gt;</translation>
    </message>
    <message>
        <source>&lt;undefined&gt;</source>
        <translation>&lt;未定义&gt;</translation>
    </message>
</context>
<context>
    <name>WebSchemes</name>
    <message>
        <source>The program runs as root, and its web pages cannot start as root with the browser sandbox on. Start it as an ordinary user, or set QTWEBENGINE_DISABLE_SANDBOX=1.</source>
        <translation>本程序正以 root 身份运行，浏览器沙箱开启时，网页无法以 root 身份打开。请以普通用户身份启动，或设置 QTWEBENGINE_DISABLE_SANDBOX=1。</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>The server is not answering. What you do reaches it only when it answers again.</source>
        <translation>服务器没有响应。您的操作要等服务器再次响应后才能送达。</translation>
    </message>
    <message>
        <source>&lt;span style="font-size:8pt; font-weight:600;"&gt;Powered by Zephyrtangle&lt;sup&gt;TM&lt;/sup&gt;&lt;/span&gt;</source>
        <translation>&lt;span style="font-size:8pt; font-weight:600;"&gt;技术支持：Zephyrtangle&lt;sup&gt;TM&lt;/sup&gt;&lt;/span&gt;</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>The server stopped answering</source>
        <translation>服务器已停止响应</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>The server has now carried out the password change you asked for at %1, which it had not answered in time.
Your password is the one you typed then.</source>
        <translation>您在 %1 请求的密码更改当时未及时得到应答，现在服务器已执行该更改。
您的密码现在是您当时输入的密码。</translation>
    </message>
    <message>
        <source>The server has now refused the password change you asked for at %1: %2
Your password is not the one you typed then.</source>
        <translation>服务器现在拒绝了您在 %1 请求的密码更改：%2
您的密码不是您当时输入的密码。</translation>
    </message>
</context>
<context>
    <name>QWebEnginePage</name>
    <message>
        <source>Are you sure you want to leave this page? Changes that you made may not be saved.</source>
        <translation>确定要离开此页面吗？您所做的更改可能不会被保存。</translation>
    </message>
</context>
<context>
    <name>WatchingWindowWidget</name>
    <message>
        <source>The game is over and this table has closed.</source>
        <translation>游戏已结束，本牌桌已关闭。</translation>
    </message>
</context>
<context>
    <name>PreferencesView</name>
    <message>
        <source>The settings file cannot be written: changes made now will not be kept.</source>
        <translation>无法写入设置文件：现在所做的更改将不会保存。</translation>
    </message>
</context>
<context>
    <name>ConferenceWidget</name>
    <message>
        <source>Your message may not have been delivered: %1</source>
        <translation>您的消息可能未送达: %1</translation>
    </message>
    <message>
        <source>Chat is offline until the next login: %1</source>
        <extracomment>%1 says why the chat server refused the login</extracomment>
        <translation>在下次登录之前聊天处于离线状态: %1</translation>
    </message>
    <message>
        <source>the chat server's certificate is not trusted</source>
        <translation>聊天服务器的证书不受信任</translation>
    </message>
    <message>
        <source>the chat server does not offer encryption</source>
        <translation>聊天服务器不提供加密</translation>
    </message>
    <message>
        <source>You were removed from the room: you are no longer a member</source>
        <translation>您已被移出聊天室: 您已不再是成员</translation>
    </message>
    <message>
        <source>You were removed from the room: it is now for members only</source>
        <translation>您已被移出聊天室: 该聊天室现在仅限成员</translation>
    </message>
    <message>
        <source>You were removed from the room: the chat room service is shutting down</source>
        <translation>您已被移出聊天室: 聊天室服务正在关闭</translation>
    </message>
    <message>
        <source>You were removed from the room</source>
        <translation>您已被移出聊天室</translation>
    </message>
</context>
<context>
    <name>GameWindow</name>
    <message>
        <source>This tournament has been removed</source>
        <translation>此锦标赛已被删除</translation>
    </message>
</context>
<context>
    <name>TournamentsController</name>
    <message>
        <source>Join tournament</source>
        <translation>参加锦标赛</translation>
    </message>
    <message>
        <source>The server did not answer the registration; try again</source>
        <translation>服务器没有回应报名，请重试</translation>
    </message>
    <message>
        <source>Unregister from tournament</source>
        <translation>取消锦标赛报名</translation>
    </message>
    <message>
        <source>The server did not answer the unregistration; try again</source>
        <translation>服务器没有回应取消报名，请重试</translation>
    </message>
    <message>
        <source>Leave tournament</source>
        <translation>退出锦标赛</translation>
    </message>
    <message>
        <source>The server did not answer the request to leave; try again</source>
        <translation>服务器没有回应退出请求，请重试</translation>
    </message>
</context>
</TS>
