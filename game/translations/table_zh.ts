<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>EmptySeatWidget</name>
    <message>
        <source>Waiting for player</source>
        <translation>等待玩家加入</translation>
    </message>
</context>
<context>
    <name>PlayerWidget</name>
    <message numerus="yes">
        <source>%nwins</source>
        <comment>don't include %n in translation, only used to get correct noun form</comment>
        <translation>
            <numerusform>胜</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%npts</source>
        <comment>don't include %n in translation, only used to get correct noun form</comment>
        <translation>
            <numerusform>分</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SideBar</name>
    <message>
        <source>Leave</source>
        <translation>离开</translation>
    </message>
    <message>
        <source>TableName</source>
        <translation>TableName</translation>
    </message>
    <message>
        <source>TableDescription</source>
        <translation>TableDescription</translation>
    </message>
    <message>
        <source>TableRound</source>
        <translation>TableRound</translation>
    </message>
    <message>
        <source>TableCost</source>
        <translation>TableCost</translation>
    </message>
    <message>
        <source>TableLimit</source>
        <translation>TableLimit</translation>
    </message>
    <message>
        <source>RoundLimit</source>
        <translation>RoundLimit</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>.HandId</source>
        <translation>.HandId</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>聊天</translation>
    </message>
    <message>
        <source>Hand Id: %1</source>
        <translation>牌局编号：%1</translation>
    </message>
    <message>
        <source>round %L1 of %L2</source>
        <translation>第 %L1 轮，共 %L2 轮</translation>
    </message>
    <message>
        <source>now</source>
        <translation>即将</translation>
    </message>
    <message>
        <source>Round ends in %1</source>
        <translation>本轮结束还有 %1</translation>
    </message>
    <message>
        <source>No round playing</source>
        <translation>当前没有进行中的轮次</translation>
    </message>
    <message>
        <source>x%1</source>
        <translation>x%1</translation>
    </message>
</context>
<context>
    <name>TableSelector</name>
    <message>
        <source>Lobby</source>
        <translation>大厅</translation>
    </message>
</context>
<context>
    <name>WashoutWidget</name>
    <message>
        <source>Washout</source>
        <translation>流局</translation>
    </message>
    <message>
        <source>Next hand starts in:</source>
        <translation>下一局开始于：</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>准备</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>离开</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>WashoutWindow</name>
    <message>
        <source>Nine honors or terminals.</source>
        <translation>九种九牌。</translation>
    </message>
    <message>
        <source>Four kongs.</source>
        <translation>四杠散了。</translation>
    </message>
    <message>
        <source>Same wind discard.</source>
        <translation>四风连打。</translation>
    </message>
    <message>
        <source>No-one declared win after all player declared riichi.</source>
        <translation>全员立直后无人和牌。</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>准备</translation>
    </message>
    <message>
        <source>Next hand</source>
        <translation>下一局</translation>
    </message>
    <message>
        <source>Play (%1)</source>
        <translation>开始 (%1)</translation>
    </message>
</context>
<context>
    <name>WaitingForPlayersWidget</name>
    <message>
        <source>Waiting for players</source>
        <translation>等待玩家</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>离开</translation>
    </message>
</context>
<context>
    <name>WaitingForPlayersWindow</name>
    <message numerus="yes">
        <source>Waiting for %n player(s) to join table.</source>
        <translation>
            <numerusform>正在等待 %n 名玩家加入牌桌。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PlayerInactiveWidget</name>
    <message>
        <source>Player inactive</source>
        <translation>玩家未活动</translation>
    </message>
    <message>
        <source>You  have been inactive, and will therefore automatically stand down. Please press reactivate to regain control.</source>
        <translation>您长时间未操作，将被自动离座。请按“重新激活”以恢复控制。</translation>
    </message>
    <message>
        <source>Reactivate</source>
        <translation>重新激活</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>离开</translation>
    </message>
</context>
</TS>
