<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh">
<context>
    <name>SeatedWindowWidget</name>
    <message>
        <source>You have been seated</source>
        <translation>您已入座</translation>
    </message>
    <message>
        <source>Rules:</source>
        <translation>规则：</translation>
    </message>
    <message>
        <source>Buy-in:</source>
        <translation>买入：</translation>
    </message>
    <message>
        <source>Max win:</source>
        <translation>最高赢额：</translation>
    </message>
    <message>
        <source>Place bonus</source>
        <translation>名次奖金</translation>
    </message>
    <message>
        <source>Feeding penalty</source>
        <translation>放炮罚金</translation>
    </message>
    <message>
        <source>Number of players:</source>
        <translation>玩家人数：</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>速度：</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>离开</translation>
    </message>
</context>
<context>
    <name>WatchingWindowWidget</name>
    <message>
        <source>Watching</source>
        <translation>观战中</translation>
    </message>
    <message>
        <source>You've been unseated from this table.</source>
        <translation>您已被移出此桌的座位。</translation>
    </message>
    <message>
        <source>If you want to watch the game, just wait until it starts.</source>
        <translation>如果想观看对局，请等待对局开始。</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>加入</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>离开</translation>
    </message>
</context>
<context>
    <name>RoundScoreBoard</name>
    <message>
        <source>Tournament 1</source>
        <translation>锦标赛 1</translation>
    </message>
    <message>
        <source>Round 1</source>
        <translation>第 1 轮</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Round %L1/%L2</source>
        <translation>第 %L1/%L2 轮</translation>
    </message>
    <message>
        <source>Round results</source>
        <translation>本轮结果</translation>
    </message>
</context>
<context>
    <name>RoundScoreWidget</name>
    <message>
        <source>name</source>
        <translation>名字</translation>
    </message>
    <message>
        <source>Mahjong points:</source>
        <translation>麻将分：</translation>
    </message>
    <message>
        <source>Round results:</source>
        <translation>本轮结果：</translation>
    </message>
    <message>
        <source>Tournament points:</source>
        <translation>锦标赛积分：</translation>
    </message>
    <message>
        <source>Round balance:</source>
        <translation>本轮收支：</translation>
    </message>
</context>
<context>
    <name>ScoreBoard</name>
    <message>
        <source>Scores</source>
        <translation>得分</translation>
    </message>
    <message>
        <source>Winning Hand</source>
        <translation>和牌</translation>
    </message>
    <message>
        <source>2:nd place</source>
        <translation>第2名</translation>
    </message>
    <message>
        <source>3:rd place</source>
        <translation>第3名</translation>
    </message>
    <message>
        <source>4:th place</source>
        <translation>第4名</translation>
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
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>离开</translation>
    </message>
    <message>
        <source>Next hand</source>
        <translation>下一局</translation>
    </message>
    <message>
        <source>Play (%1)</source>
        <translation>开始 (%1)</translation>
    </message>
    <message>
        <source>Winning hand</source>
        <translation>和牌</translation>
    </message>
    <message>
        <source>Losing hand</source>
        <translation>未和牌</translation>
    </message>
    <message>
        <source>Points:</source>
        <translation>分：</translation>
    </message>
    <message>
        <source>Doubles:</source>
        <translation>番：</translation>
    </message>
    <message>
        <source>Limit hands:</source>
        <translation>满贯牌型：</translation>
    </message>
    <message>
        <source>Hand Score</source>
        <translation>牌局得分</translation>
    </message>
    <message>
        <source>Settlement</source>
        <translation>结算</translation>
    </message>
    <message>
        <source>Current Score</source>
        <translation>当前得分</translation>
    </message>
    <message>
        <source>Payment</source>
        <translation>支付</translation>
    </message>
</context>
<context>
    <name>MeldAuction</name>
    <message>
        <source>Riichi</source>
        <translation>立直</translation>
    </message>
    <message>
        <source>Mahjong</source>
        <translation>和牌</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>过</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Choose Meld</source>
        <translation>选择副露</translation>
    </message>
    <message>
        <source>Rob the Kong</source>
        <translation>抢杠</translation>
    </message>
    <message>
        <source>Alt+M</source>
        <comment>Mahjong</comment>
        <translation>Alt+M</translation>
    </message>
    <message>
        <source>Alt+Z</source>
        <comment>Pass</comment>
        <translation>Alt+Z</translation>
    </message>
</context>
<context>
    <name>MeldChoice</name>
    <message>
        <source>Chow Low</source>
        <translation>吃（低）</translation>
    </message>
    <message>
        <source>Chow Mid</source>
        <translation>吃（中）</translation>
    </message>
    <message>
        <source>Chow Hi</source>
        <translation>吃（高）</translation>
    </message>
    <message>
        <source>Kong</source>
        <translation>杠</translation>
    </message>
    <message>
        <source>Pong</source>
        <translation>碰</translation>
    </message>
    <message>
        <source>Pong to kong</source>
        <translation>加杠</translation>
    </message>
    <message>
        <source>Riichi</source>
        <translation>立直</translation>
    </message>
    <message>
        <source>Meld</source>
        <translation>副露</translation>
    </message>
    <message>
        <source>Alt+1</source>
        <comment>Chow Low</comment>
        <translation>Alt+1</translation>
    </message>
    <message>
        <source>Alt+2</source>
        <comment>Chow Mid</comment>
        <translation>Alt+2</translation>
    </message>
    <message>
        <source>Alt+3</source>
        <comment>Chow Hi</comment>
        <translation>Alt+3</translation>
    </message>
    <message>
        <source>Alt+K</source>
        <comment>Kong</comment>
        <translation>Alt+K</translation>
    </message>
    <message>
        <source>Alt+P</source>
        <comment>Pong</comment>
        <translation>Alt+P</translation>
    </message>
    <message>
        <source>Alt+K</source>
        <comment>Pong to kong</comment>
        <translation>Alt+K</translation>
    </message>
    <message>
        <source>Alt+R</source>
        <comment>Riichi</comment>
        <translation>Alt+R</translation>
    </message>
</context>
<context>
    <name>SeatedWindow</name>
    <message numerus="yes">
        <source>You will automatically be unseated from this table in %Ln second(s)</source>
        <translation>
            <numerusform>%Ln 秒后您将被自动移出此桌的座位</numerusform>
        </translation>
    </message>
</context>
</TS>
