<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>ChatOutputWidget</name>
    <message>
        <source>(%1)</source>
        <translation>（%1）</translation>
    </message>
    <message>
        <source>%1 %2: %3</source>
        <translation>%1 %2: %3</translation>
    </message>
</context>
<context>
    <name>ConferenceView</name>
    <message>
        <source>Send</source>
        <translation>送信</translation>
    </message>
</context>
<context>
    <name>ConferenceWidget</name>
    <message>
        <source>No error</source>
        <translation>エラーはありません</translation>
    </message>
    <message>
        <source>Undefined error</source>
        <translation>不明なエラー</translation>
    </message>
    <message>
        <source>You've been banned from this room</source>
        <translation>このルームへの入室を禁止されています</translation>
    </message>
    <message>
        <source>The room is password protected</source>
        <translation>このルームはパスワードで保護されています</translation>
    </message>
    <message>
        <source>This is a members only room</source>
        <translation>このルームはメンバー専用です</translation>
    </message>
    <message>
        <source>Your nickname is already in use in this room</source>
        <translation>このニックネームはこのルームで既に使われています</translation>
    </message>
    <message>
        <source>The room is full</source>
        <translation>ルームは満員です</translation>
    </message>
    <message>
        <source>The room is locked</source>
        <translation>ルームはロックされています</translation>
    </message>
    <message>
        <source>The room doesn't exist</source>
        <translation>ルームが存在しません</translation>
    </message>
    <message>
        <source>Lobby chat unavailable</source>
        <translation>ロビーのチャットは利用できません</translation>
    </message>
    <message>
        <source>Tournament chat unavailable</source>
        <translation>トーナメントのチャットは利用できません</translation>
    </message>
    <message>
        <source>The room refused the entry</source>
        <translation>ルームへの入室が拒否されました</translation>
    </message>
    <message>
        <source>Table chat only available to players</source>
        <translation>テーブルのチャットはプレイヤーのみ利用できます</translation>
    </message>
    <message>
        <source>Tournament chat only available to registered players</source>
        <translation>トーナメントのチャットは登録したプレイヤーのみ利用できます</translation>
    </message>
    <message>
        <source>%1 joined the chat</source>
        <translation>%1 がチャットに参加しました</translation>
    </message>
    <message>
        <source>%1 left the chat</source>
        <translation>%1 がチャットから退出しました</translation>
    </message>
    <message>
        <source>%1 has been kicked from the chat by %2</source>
        <translation>%1 は %2 によってチャットから退出させられました</translation>
    </message>
    <message>
        <source>%1 has been kicked from the chat by %2 due to %3</source>
        <translation>%1 は %2 によってチャットから退出させられました（理由: %3）</translation>
    </message>
    <message>
        <source>%1 has been kicked from the chat</source>
        <translation>%1 はチャットから退出させられました</translation>
    </message>
    <message>
        <source>%1 has been kicked from the chat due to %2</source>
        <translation>%1 はチャットから退出させられました（理由: %2）</translation>
    </message>
    <message>
        <source>%1 has been banned from the chat by %2</source>
        <translation>%1 は %2 によってチャットへの参加を禁止されました</translation>
    </message>
    <message>
        <source>%1 has been banned from the chat by %2 due to %3</source>
        <translation>%1 は %2 によってチャットへの参加を禁止されました（理由: %3）</translation>
    </message>
    <message>
        <source>%1 has been banned from the chat</source>
        <translation>%1 はチャットへの参加を禁止されました</translation>
    </message>
    <message>
        <source>%1 has been banned from the chat due to %2</source>
        <translation>%1 はチャットへの参加を禁止されました（理由: %2）</translation>
    </message>
    <message>
        <source>Your message was not delivered: %1</source>
        <translation>メッセージは届きませんでした: %1</translation>
    </message>
    <message>
        <source>Chat is offline until the next login</source>
        <translation>次にログインするまでチャットはオフラインです</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <comment>%1 is the program's text of an error, %2 the chat server's own explanation</comment>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>The room has been closed</source>
        <translation>このルームは閉鎖されました</translation>
    </message>
    <message>
        <source>%1 set the subject: %2</source>
        <translation>%1 が話題を設定しました: %2</translation>
    </message>
    <message>
        <source>The chat room service cannot be reached</source>
        <translation>チャットルームのサービスに接続できません</translation>
    </message>
    <message>
        <source>The chat server's room list could not be read: there is no lobby room to enter</source>
        <translation>チャットサーバーのルーム一覧を読み込めませんでした: 入室できるロビーのルームがありません</translation>
    </message>
    <message>
        <source>The chat server has no lobby room to enter</source>
        <translation>チャットサーバーに入室できるロビーのルームがありません</translation>
    </message>
    <message>
        <source>The chat server offers no chat rooms</source>
        <translation>チャットサーバーにはチャットルームがありません</translation>
    </message>
</context>
</TS>
