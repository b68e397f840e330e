<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>MainView</name>
    <message>
        <source>My account</source>
        <translation>マイアカウント</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>サポート</translation>
    </message>
    <message>
        <source>Toggle fullscreen</source>
        <translation>全画面表示の切り替え</translation>
    </message>
    <message>
        <source>Fullscreen</source>
        <translation>全画面</translation>
    </message>
    <message>
        <source>Ctrl+F</source>
        <comment>Toggle fullscreen</comment>
        <translation>Ctrl+F</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Lobby chat</source>
        <translation>ロビーチャット</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Web page</source>
        <translation>ウェブページ</translation>
    </message>
    <message>
        <source>No web browser could be started. Open this address in your web browser:</source>
        <translation>ウェブブラウザーを起動できませんでした。このアドレスをウェブブラウザーで開いてください:</translation>
    </message>
    <message>
        <source>Resolution too low!</source>
        <translation>解像度が低すぎます！</translation>
    </message>
    <message>
        <source>You should have a resolution of at least 1024x768, you currently have %L1x%L2</source>
        <translation>解像度は 1024x768 以上が必要です。現在の解像度は %L1x%L2 です</translation>
    </message>
    <message>
        <source>System message</source>
        <translation>システムメッセージ</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>Leave Failed</source>
        <translation>退席できませんでした</translation>
    </message>
    <message>
        <source>Watch Failed</source>
        <translation>観戦できませんでした</translation>
    </message>
    <message>
        <source>Join game failed!</source>
        <translation>ゲームに参加できませんでした！</translation>
    </message>
    <message>
        <source>Failed to join game.
Please try again in a little while.
If problem persists please contact support</source>
        <translation>ゲームに参加できませんでした。
しばらくしてからもう一度お試しください。
問題が続く場合はサポートにお問い合わせください</translation>
    </message>
    <message>
        <source>Rejoin Table</source>
        <translation>テーブルに戻る</translation>
    </message>
    <message>
        <source>Do you want to rejoin table %1?</source>
        <translation>テーブル %1 に戻りますか？</translation>
    </message>
    <message>
        <source>Watch Table</source>
        <translation>テーブルを観戦</translation>
    </message>
    <message>
        <source>Do you want to continue watching table %1?</source>
        <translation>テーブル %1 の観戦を続けますか？</translation>
    </message>
    <message>
        <source>You are already seated at table %L1.
Do you want to rejoin?</source>
        <translation>すでにテーブル %L1 に着席しています。
戻りますか？</translation>
    </message>
    <message>
        <source>Join Failed</source>
        <translation>参加できませんでした</translation>
    </message>
    <message>
        <source>Join Error</source>
        <translation>参加エラー</translation>
    </message>
    <message>
        <source>Table Full</source>
        <translation>テーブルは満席です</translation>
    </message>
    <message>
        <source>Table In Play</source>
        <translation>テーブルはプレイ中です</translation>
    </message>
    <message>
        <source>You don't have enough money on your account to join the table.
Do you want to make a deposit now?</source>
        <translation>アカウントの残高が足りないため、このテーブルに参加できません。
今すぐ入金しますか？</translation>
    </message>
    <message>
        <source>Deposit</source>
        <translation>入金</translation>
    </message>
    <message>
        <source>Your account is opened in a web browser</source>
        <translation>アカウントをウェブブラウザで開きました</translation>
    </message>
    <message>
        <source>This page is not available.</source>
        <translation>このページは利用できません。</translation>
    </message>
    <message>
        <source>A player with the same IP address as you has already joined the table.
Please contact the support to remedy the situation.</source>
        <translation>あなたと同じ IP アドレスのプレイヤーがすでにこのテーブルに参加しています。
サポートにお問い合わせください。</translation>
    </message>
    <message>
        <source>Forced logout</source>
        <translation>強制ログアウト</translation>
    </message>
    <message>
        <source>You were forcefully logged out!</source>
        <translation>強制的にログアウトされました！</translation>
    </message>
    <message>
        <source>The server closed the connection</source>
        <translation>サーバーが接続を閉じました</translation>
    </message>
    <message>
        <source>Server not answering</source>
        <translation>サーバーの応答なし</translation>
    </message>
    <message>
        <source>The server is not answering.
What you do reaches it only when it answers again.</source>
        <translation>サーバーが応答していません。
操作はサーバーが再び応答したときに初めて届きます。</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Are you sure you want to quit?</source>
        <translation>本当に終了しますか？</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>スタート</translation>
    </message>
    <message>
        <source>Tables</source>
        <translation>テーブル</translation>
    </message>
    <message>
        <source>Tournaments</source>
        <translation>トーナメント</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Friends</source>
        <translation>フレンド</translation>
    </message>
    <message>
        <source>How to</source>
        <translation>遊び方</translation>
    </message>
    <message>
        <source>Make your choice below or go to the Lobby for more rules and table options</source>
        <translation>下から選ぶか、ロビーでほかのルールやテーブルをお選びください</translation>
    </message>
    <message>
        <source>Windowed</source>
        <translation>ウィンドウ</translation>
    </message>
    <message>
        <source>Fullscreen</source>
        <translation>全画面</translation>
    </message>
    <message>
        <source>New tournament round - %1</source>
        <translation>新しいトーナメントラウンド - %1</translation>
    </message>
    <message>
        <source>Continuing tournament round - %1</source>
        <translation>トーナメントラウンドの続き - %1</translation>
    </message>
    <message>
        <source>You have been assigned to tournament table %1. Show now?</source>
        <translation>トーナメントテーブル %1 に割り当てられました。今すぐ表示しますか？</translation>
    </message>
    <message>
        <source>You are assigned to tournament table %1. Show now?</source>
        <translation>トーナメントテーブル %1 に割り当てられています。今すぐ表示しますか？</translation>
    </message>
    <message>
        <source>This is you</source>
        <translation>あなたです</translation>
    </message>
    <message>
        <source>Add to friends</source>
        <translation>フレンドに追加</translation>
    </message>
    <message>
        <source>Watch table %1</source>
        <extracomment>%1 is table name</extracomment>
        <translation>テーブル %1 を観戦</translation>
    </message>
    <message>
        <source>Watch special table %1</source>
        <extracomment>%1 is table id</extracomment>
        <translation>特別テーブル %1 を観戦</translation>
    </message>
    <message>
        <source>Friend is not playing</source>
        <translation>フレンドはプレイしていません</translation>
    </message>
    <message>
        <source>Error getting player id</source>
        <translation>プレイヤーIDを取得できません</translation>
    </message>
</context>
<context>
    <name>LoginForm</name>
    <message>
        <source>Log in to Mahjong</source>
        <translation>麻雀にログイン</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>Log in</source>
        <translation>ログイン</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>登録</translation>
    </message>
    <message>
        <source>Choose language</source>
        <translation>言語を選択</translation>
    </message>
</context>
<context>
    <name>LoginWindow</name>
    <message>
        <source>&lt;a style=&quot;%1&quot; href=&quot;#reset-password&quot;&gt;Reset password&lt;/a&gt;</source>
        <translation>&lt;a style=&quot;%1&quot; href=&quot;#reset-password&quot;&gt;パスワードを再設定&lt;/a&gt;</translation>
    </message>
    <message>
        <source>You are not allowed to login, please contact customer support!</source>
        <translation>ログインが許可されていません。カスタマーサポートにお問い合わせください！</translation>
    </message>
    <message>
        <source>Server error!</source>
        <translation>サーバーエラー！</translation>
    </message>
    <message>
        <source>You need to verify your email first! Please check your inbox for verification email. Contact support if problem persists.</source>
        <translation>先にメールアドレスの確認が必要です！確認メールが届いていないか受信箱をご確認ください。問題が続く場合はサポートにお問い合わせください。</translation>
    </message>
    <message>
        <source>You have excluded yourself from playing. Contact support if this is incorrect.</source>
        <translation>あなたはプレイの自己除外を設定しています。誤りの場合はサポートにお問い合わせください。</translation>
    </message>
    <message>
        <source>Unknown login failure!</source>
        <translation>不明なログインエラー！</translation>
    </message>
    <message>
        <source>Login failure!</source>
        <translation>ログインできませんでした！</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>接続中...</translation>
    </message>
    <message>
        <source>The server did not answer the login.
Do you want to try again?</source>
        <translation>サーバーがログインに応答しませんでした。
もう一度試しますか？</translation>
    </message>
    <message>
        <source>This user name cannot be used to log in: a user name may hold only Western European letters, digits and signs.</source>
        <translation>このユーザー名ではログインできません。ユーザー名に使えるのは西欧の文字、数字、記号だけです。</translation>
    </message>
</context>
<context>
    <name>CreateUserForm</name>
    <message>
        <source>Create New User</source>
        <translation>新規ユーザー作成</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>メールアドレス</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>Repeat Password</source>
        <translation>パスワード（確認）</translation>
    </message>
    <message>
        <source>Create User</source>
        <translation>ユーザー作成</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>CreateUserWindow</name>
    <message>
        <source>User name</source>
        <translation>ユーザー名</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>I'm over %L1 years old</source>
        <translation>%L1 歳以上です</translation>
    </message>
    <message>
        <source>I accept the &lt;a style=&quot;%1&quot; href=&quot;#terms&quot;&gt;terms and conditions&lt;/a&gt;</source>
        <translation>&lt;a style=&quot;%1&quot; href=&quot;#terms&quot;&gt;利用規約&lt;/a&gt;に同意します</translation>
    </message>
    <message>
        <source>User name may hold only Western European letters, digits and signs</source>
        <translation>ユーザー名に使えるのは西欧の文字、数字、記号だけです</translation>
    </message>
    <message>
        <source>User name must contain between %1 and %2 characters</source>
        <translation>ユーザー名は %1 文字以上 %2 文字以下にしてください</translation>
    </message>
    <message>
        <source>Password must contain between %1 and %2 characters</source>
        <translation>パスワードは %1 文字以上 %2 文字以下にしてください</translation>
    </message>
    <message>
        <source>Repeated password doesn't match</source>
        <translation>確認用パスワードが一致しません</translation>
    </message>
    <message>
        <source>Register User</source>
        <translation>ユーザー登録</translation>
    </message>
</context>
<context>
    <name>PreferencesView</name>
    <message>
        <source>Change your settings below, changes will take effect immediately.</source>
        <translation>下で設定を変更できます。変更はすぐに反映されます。</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <source>Game</source>
        <translation>ゲーム</translation>
    </message>
    <message>
        <source>Auto pass</source>
        <translation>自動パス</translation>
    </message>
    <message>
        <source>Auto-close score dialogs</source>
        <translation>得点画面を自動で閉じる</translation>
    </message>
    <message>
        <source>Controls if score dialogs are automatically closed when a new round begins</source>
        <translation>新しい局が始まったときに得点画面を自動で閉じるかどうか</translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation>サウンド</translation>
    </message>
    <message>
        <source>Animations</source>
        <translation>アニメーション</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>New password</source>
        <translation>新しいパスワード</translation>
    </message>
    <message>
        <source>Retype password</source>
        <translation>パスワードを再入力</translation>
    </message>
    <message>
        <source>Change password</source>
        <translation>パスワードを変更</translation>
    </message>
    <message>
        <source>Player</source>
        <translation>プレイヤー</translation>
    </message>
    <message>
        <source>Choose avatar...</source>
        <translation>アバターを選択...</translation>
    </message>
    <message>
        <source>Tile graphics</source>
        <translation>牌のデザイン</translation>
    </message>
    <message>
        <source>Face</source>
        <translation>表</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>裏</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Change password failed!</source>
        <translation>パスワードを変更できませんでした！</translation>
    </message>
    <message>
        <source>Can not set empty password!</source>
        <translation>空のパスワードは設定できません！</translation>
    </message>
    <message>
        <source>New and retyped password must match</source>
        <translation>新しいパスワードと再入力したパスワードが一致しません</translation>
    </message>
    <message>
        <source>Change password!</source>
        <translation>パスワードの変更</translation>
    </message>
    <message>
        <source>Success!</source>
        <translation>変更しました！</translation>
    </message>
    <message>
        <source>The server did not answer the password change.
Your password may be unchanged: please try again.</source>
        <translation>サーバーがパスワードの変更に応答しませんでした。
パスワードは変更されていない可能性があります。もう一度お試しください。</translation>
    </message>
    <message>
        <source>The tile faces in %1 cannot be drawn; the program&apos;s own are shown.</source>
        <translation>%1 の牌の表は描画できないため、プログラム付属のものを表示しています。</translation>
    </message>
    <message>
        <source>The tile backs in %1 cannot be drawn; the program&apos;s own are shown.</source>
        <translation>%1 の牌の裏は描画できないため、プログラム付属のものを表示しています。</translation>
    </message>
</context>
</TS>
