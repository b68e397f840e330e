<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>GameWindow</name>
    <message>
        <source>Hand started</source>
        <translation>局が始まりました</translation>
    </message>
    <message>
        <source>%1 joined the table</source>
        <translation>%1 がテーブルに着きました</translation>
    </message>
    <message>
        <source>%1 left the table</source>
        <translation>%1 がテーブルを離れました</translation>
    </message>
    <message>
        <source>You've been unseated from this table.</source>
        <translation>このテーブルの席を外されました。</translation>
    </message>
    <message>
        <source>Hand ended in washout!</source>
        <translation>流局で終わりました！</translation>
    </message>
    <message>
        <source>Hand ended in Mahjong!</source>
        <translation>和了で終わりました！</translation>
    </message>
    <message>
        <source>Table round ended</source>
        <translation>テーブルのラウンドが終わりました</translation>
    </message>
    <message>
        <source>Tournament round ended</source>
        <translation>トーナメントのラウンドが終わりました</translation>
    </message>
    <message>
        <source>Leave Table</source>
        <translation>テーブルを離れる</translation>
    </message>
    <message>
        <source>Are you sure you want to leave table %1?</source>
        <translation>テーブル %1 を離れてもよろしいですか？</translation>
    </message>
    <message>
        <source>You keep your seat until the game ends.
Until then the table can be opened again from the lobby.</source>
        <translation>ゲームが終わるまで席はそのまま残ります。
それまではロビーからテーブルをもう一度開けます。</translation>
    </message>
    <message>
        <source>You keep your seat until the tournament round ends.
Until then the table can be opened again from its tournament on the Tournaments tab.</source>
        <translation>トーナメントのラウンドが終わるまで席はそのまま残ります。
それまでは「トーナメント」タブのそのトーナメントからテーブルをもう一度開けます。</translation>
    </message>
    <message>
        <source>Kicked</source>
        <translation>退席</translation>
    </message>
    <message>
        <source>You were kicked from the table.</source>
        <translation>テーブルから退席させられました。</translation>
    </message>
    <message>
        <source>The tournament round has ended, press Ok to go back to lobby</source>
        <translation>トーナメントのラウンドが終わりました。OK を押すとロビーに戻ります</translation>
    </message>
</context>
<context>
    <name>GameController</name>
    <message>
        <source>Table not opened</source>
        <translation>テーブルを開けませんでした</translation>
    </message>
    <message>
        <source>Table %1 could not be opened: the server did not describe it in time.
You have left the table.</source>
        <translation>テーブル %1 を開けませんでした: サーバーから時間内にテーブルの情報が届きませんでした。
テーブルから退席しました。</translation>
    </message>
    <message>
        <source>Table closed</source>
        <translation>テーブルを閉じました</translation>
    </message>
    <message>
        <source>Table %1 was closed: the server sent something about it that cannot be shown.</source>
        <translation>テーブル %1 を閉じました: サーバーから表示できない内容が届きました。</translation>
    </message>
</context>
</TS>
