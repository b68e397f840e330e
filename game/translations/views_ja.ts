<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>SeatedWindowWidget</name>
    <message>
        <source>You have been seated</source>
        <translation>着席しました</translation>
    </message>
    <message>
        <source>Rules:</source>
        <translation>ルール：</translation>
    </message>
    <message>
        <source>Buy-in:</source>
        <translation>参加費：</translation>
    </message>
    <message>
        <source>Max win:</source>
        <translation>最大獲得額：</translation>
    </message>
    <message>
        <source>Place bonus</source>
        <translation>順位ボーナス</translation>
    </message>
    <message>
        <source>Feeding penalty</source>
        <translation>放銃ペナルティ</translation>
    </message>
    <message>
        <source>Number of players:</source>
        <translation>プレイヤー数：</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>持ち時間：</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>プレイ</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>退席</translation>
    </message>
</context>
<context>
    <name>WatchingWindowWidget</name>
    <message>
        <source>Watching</source>
        <translation>観戦中</translation>
    </message>
    <message>
        <source>You've been unseated from this table.</source>
        <translation>このテーブルの席を外されました。</translation>
    </message>
    <message>
        <source>If you want to watch the game, just wait until it starts.</source>
        <translation>観戦するには、ゲームが始まるまでお待ちください。</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>参加</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>退席</translation>
    </message>
</context>
<context>
    <name>RoundScoreBoard</name>
    <message>
        <source>Tournament 1</source>
        <translation>トーナメント 1</translation>
    </message>
    <message>
        <source>Round 1</source>
        <translation>ラウンド 1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Round %L1/%L2</source>
        <translation>ラウンド %L1/%L2</translation>
    </message>
    <message>
        <source>Round results</source>
        <translation>ラウンド結果</translation>
    </message>
</context>
<context>
    <name>RoundScoreWidget</name>
    <message>
        <source>name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Mahjong points:</source>
        <translation>麻雀点：</translation>
    </message>
    <message>
        <source>Round results:</source>
        <translation>ラウンド結果：</translation>
    </message>
    <message>
        <source>Tournament points:</source>
        <translation>トーナメントポイント：</translation>
    </message>
    <message>
        <source>Round balance:</source>
        <translation>ラウンド収支：</translation>
    </message>
</context>
<context>
    <name>ScoreBoard</name>
    <message>
        <source>Scores</source>
        <translation>得点</translation>
    </message>
    <message>
        <source>Winning Hand</source>
        <translation>和了手</translation>
    </message>
    <message>
        <source>2:nd place</source>
        <translation>2位</translation>
    </message>
    <message>
        <source>3:rd place</source>
        <translation>3位</translation>
    </message>
    <message>
        <source>4:th place</source>
        <translation>4位</translation>
    </message>
    <message>
        <source>Next hand starts in:</source>
        <translation>次の局まで：</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>準備完了</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Leave</source>
        <translation>退席</translation>
    </message>
    <message>
        <source>Next hand</source>
        <translation>次の局</translation>
    </message>
    <message>
        <source>Play (%1)</source>
        <translation>プレイ (%1)</translation>
    </message>
    <message>
        <source>Winning hand</source>
        <translation>和了手</translation>
    </message>
    <message>
        <source>Losing hand</source>
        <translation>手牌</translation>
    </message>
    <message>
        <source>Points:</source>
        <translation>符：</translation>
    </message>
    <message>
        <source>Doubles:</source>
        <translation>翻：</translation>
    </message>
    <message>
        <source>Limit hands:</source>
        <translation>役満：</translation>
    </message>
    <message>
        <source>Hand Score</source>
        <translation>手の得点</translation>
    </message>
    <message>
        <source>Settlement</source>
        <translation>精算</translation>
    </message>
    <message>
        <source>Current Score</source>
        <translation>現在の得点</translation>
    </message>
    <message>
        <source>Payment</source>
        <translation>支払い</translation>
    </message>
</context>
<context>
    <name>MeldAuction</name>
    <message>
        <source>Riichi</source>
        <translation>リーチ</translation>
    </message>
    <message>
        <source>Mahjong</source>
        <translation>和了</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>パス</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Choose Meld</source>
        <translation>面子を選択</translation>
    </message>
    <message>
        <source>Rob the Kong</source>
        <translation>槍槓</translation>
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
        <translation>チー（下）</translation>
    </message>
    <message>
        <source>Chow Mid</source>
        <translation>チー（中）</translation>
    </message>
    <message>
        <source>Chow Hi</source>
        <translation>チー（上）</translation>
    </message>
    <message>
        <source>Kong</source>
        <translation>カン</translation>
    </message>
    <message>
        <source>Pong</source>
        <translation>ポン</translation>
    </message>
    <message>
        <source>Pong to kong</source>
        <translation>加槓</translation>
    </message>
    <message>
        <source>Riichi</source>
        <translation>リーチ</translation>
    </message>
    <message>
        <source>Meld</source>
        <translation>面子</translation>
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
            <numerusform>%Ln 秒後に自動的にこのテーブルの席を外されます</numerusform>
        </translation>
    </message>
</context>
</TS>
