<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>LobbyView</name>
    <message>
        <source>Choose a table to join in the list below. Enjoy!</source>
        <translation>下の一覧から参加するテーブルを選んでください。お楽しみください！</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>ルール</translation>
    </message>
    <message>
        <source>Riichi</source>
        <translation>リーチ麻雀</translation>
    </message>
    <message>
        <source>International</source>
        <translation>国際ルール</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>クラシック</translation>
    </message>
    <message>
        <source>Buy-in</source>
        <translation>参加費</translation>
    </message>
    <message>
        <source>Play for free</source>
        <translation>無料でプレイ</translation>
    </message>
    <message>
        <source>Real money</source>
        <translation>リアルマネー</translation>
    </message>
    <message>
        <source>Game type</source>
        <translation>ゲームの種類</translation>
    </message>
    <message>
        <source>Single hand</source>
        <translation>一局戦</translation>
    </message>
    <message>
        <source>Full game</source>
        <translation>フルゲーム</translation>
    </message>
    <message>
        <source>Exclude full tables</source>
        <translation>満席のテーブルを除く</translation>
    </message>
    <message>
        <source>Exclude empty tables</source>
        <translation>空席のテーブルを除く</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>検索：</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>参加</translation>
    </message>
    <message>
        <source>Watch</source>
        <translation>観戦</translation>
    </message>
</context>
<context>
    <name>LobbyWindow</name>
    <message>
        <source>Real money</source>
        <translation>リアルマネー</translation>
    </message>
    <message>
        <source>Real money (soon)</source>
        <translation>リアルマネー（近日公開）</translation>
    </message>
</context>
<context>
    <name>CompactTableItem</name>
    <message>
        <source>Frame</source>
        <translation>フレーム</translation>
    </message>
    <message>
        <source>Rules:</source>
        <translation>ルール：</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>持ち時間：</translation>
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
        <source>Players:</source>
        <translation>プレイヤー：</translation>
    </message>
</context>
</TS>
