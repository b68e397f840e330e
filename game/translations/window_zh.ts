<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>GameWindow</name>
    <message>
        <source>Hand started</source>
        <translation>牌局开始</translation>
    </message>
    <message>
        <source>%1 joined the table</source>
        <translation>%1 加入了牌桌</translation>
    </message>
    <message>
        <source>%1 left the table</source>
        <translation>%1 离开了牌桌</translation>
    </message>
    <message>
        <source>You've been unseated from this table.</source>
        <translation>您已被移出此牌桌的座位。</translation>
    </message>
    <message>
        <source>Hand ended in washout!</source>
        <translation>本局流局！</translation>
    </message>
    <message>
        <source>Hand ended in Mahjong!</source>
        <translation>本局和牌结束！</translation>
    </message>
    <message>
        <source>Table round ended</source>
        <translation>牌桌本轮结束</translation>
    </message>
    <message>
        <source>Tournament round ended</source>
        <translation>锦标赛本轮结束</translation>
    </message>
    <message>
        <source>Leave Table</source>
        <translation>离开牌桌</translation>
    </message>
    <message>
        <source>Are you sure you want to leave table %1?</source>
        <translation>确定要离开牌桌 %1 吗？</translation>
    </message>
    <message>
        <source>You keep your seat until the game ends.
Until then the table can be opened again from the lobby.</source>
        <translation>对局结束前，您的座位会一直保留。
在此之前，可以从大厅再次打开这张牌桌。</translation>
    </message>
    <message>
        <source>You keep your seat until the tournament round ends.
Until then the table can be opened again from its tournament on the Tournaments tab.</source>
        <translation>锦标赛本轮结束前，您的座位会一直保留。
在此之前，可以在“锦标赛”标签页的该锦标赛中再次打开这张牌桌。</translation>
    </message>
    <message>
        <source>Kicked</source>
        <translation>被移出</translation>
    </message>
    <message>
        <source>You were kicked from the table.</source>
        <translation>您已被移出牌桌。</translation>
    </message>
    <message>
        <source>The tournament round has ended, press Ok to go back to lobby</source>
        <translation>锦标赛本轮已结束，按“确定”返回大厅</translation>
    </message>
</context>
<context>
    <name>GameController</name>
    <message>
        <source>Table not opened</source>
        <translation>无法打开牌桌</translation>
    </message>
    <message>
        <source>Table %1 could not be opened: the server did not describe it in time.
You have left the table.</source>
        <translation>无法打开牌桌 %1：服务器未能及时发来牌桌的信息。
您已离开该牌桌。</translation>
    </message>
    <message>
        <source>Table closed</source>
        <translation>牌桌已关闭</translation>
    </message>
    <message>
        <source>Table %1 was closed: the server sent something about it that cannot be shown.</source>
        <translation>牌桌 %1 已关闭：服务器发来了无法显示的内容。</translation>
    </message>
</context>
</TS>
