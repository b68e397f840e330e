<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>LobbyView</name>
    <message>
        <source>Choose a table to join in the list below. Enjoy!</source>
        <translation>请在下方列表中选择要加入的牌桌。祝您愉快！</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Riichi</source>
        <translation>日本麻将</translation>
    </message>
    <message>
        <source>International</source>
        <translation>国际规则</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>经典</translation>
    </message>
    <message>
        <source>Buy-in</source>
        <translation>买入</translation>
    </message>
    <message>
        <source>Play for free</source>
        <translation>免费游戏</translation>
    </message>
    <message>
        <source>Real money</source>
        <translation>真钱</translation>
    </message>
    <message>
        <source>Game type</source>
        <translation>游戏类型</translation>
    </message>
    <message>
        <source>Single hand</source>
        <translation>单局</translation>
    </message>
    <message>
        <source>Full game</source>
        <translation>完整游戏</translation>
    </message>
    <message>
        <source>Exclude full tables</source>
        <translation>排除已满的牌桌</translation>
    </message>
    <message>
        <source>Exclude empty tables</source>
        <translation>排除空牌桌</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>查找：</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>加入</translation>
    </message>
    <message>
        <source>Watch</source>
        <translation>观战</translation>
    </message>
</context>
<context>
    <name>LobbyWindow</name>
    <message>
        <source>Real money</source>
        <translation>真钱</translation>
    </message>
    <message>
        <source>Real money (soon)</source>
        <translation>真钱（即将推出）</translation>
    </message>
</context>
<context>
    <name>CompactTableItem</name>
    <message>
        <source>Frame</source>
        <translation>框架</translation>
    </message>
    <message>
        <source>Rules:</source>
        <translation>规则：</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>速度：</translation>
    </message>
    <message>
        <source>Buy-in:</source>
        <translation>买入：</translation>
    </message>
    <message>
        <source>Max win:</source>
        <translation>最高赢取：</translation>
    </message>
    <message>
        <source>Players:</source>
        <translation>玩家：</translation>
    </message>
</context>
</TS>
