<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>EmptySeatWidget</name>
    <message>
        <source>Waiting for player</source>
        <translation>プレイヤーを待っています</translation>
    </message>
</context>
<context>
    <name>PlayerWidget</name>
    <message numerus="yes">
        <source>%nwins</source>
        <comment>don't include %n in translation, only used to get correct noun form</comment>
        <translation>
            <numerusform>勝</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%npts</source>
        <comment>don't include %n in translation, only used to get correct noun form</comment>
        <translation>
            <numerusform>点</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SideBar</name>
    <message>
        <source>Leave</source>
        <translation>退席</translation>
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
        <translation>チャット</translation>
    </message>
    <message>
        <source>Hand Id: %1</source>
        <translation>ハンドID: %1</translation>
    </message>
    <message>
        <source>round %L1 of %L2</source>
        <translation>第%L1ラウンド（全%L2ラウンド）</translation>
    </message>
    <message>
        <source>now</source>
        <translation>まもなく</translation>
    </message>
    <message>
        <source>Round ends in %1</source>
        <translation>ラウンド終了まで %1</translation>
    </message>
    <message>
        <source>No round playing</source>
        <translation>進行中のラウンドはありません</translation>
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
        <translation>ロビー</translation>
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
        <translation>次のハンド開始まで:</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>準備完了</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>退席</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>WashoutWindow</name>
    <message>
        <source>Nine honors or terminals.</source>
        <translation>九種九牌。</translation>
    </message>
    <message>
        <source>Four kongs.</source>
        <translation>四開槓。</translation>
    </message>
    <message>
        <source>Same wind discard.</source>
        <translation>四風連打。</translation>
    </message>
    <message>
        <source>No-one declared win after all player declared riichi.</source>
        <translation>全員がリーチした後、誰も和了しませんでした。</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>準備完了</translation>
    </message>
    <message>
        <source>Next hand</source>
        <translation>次のハンド</translation>
    </message>
    <message>
        <source>Play (%1)</source>
        <translation>プレイ (%1)</translation>
    </message>
</context>
<context>
    <name>WaitingForPlayersWidget</name>
    <message>
        <source>Waiting for players</source>
        <translation>プレイヤー待ち</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>退席</translation>
    </message>
</context>
<context>
    <name>WaitingForPlayersWindow</name>
    <message numerus="yes">
        <source>Waiting for %n player(s) to join table.</source>
        <translation>
            <numerusform>あと%n人のプレイヤーの参加を待っています。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PlayerInactiveWidget</name>
    <message>
        <source>Player inactive</source>
        <translation>非アクティブ</translation>
    </message>
    <message>
        <source>You  have been inactive, and will therefore automatically stand down. Please press reactivate to regain control.</source>
        <translation>操作がなかったため、自動的に退席します。操作を再開するには「再開」を押してください。</translation>
    </message>
    <message>
        <source>Reactivate</source>
        <translation>再開</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>退席</translation>
    </message>
</context>
</TS>
