<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>TournamentsLobbyModel</name>
    <message>
        <source>Tournament Name</source>
        <translation>トーナメント名</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Players</source>
        <translation>人数</translation>
    </message>
    <message>
        <source>Buy-in</source>
        <translation>参加費</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>期間</translation>
    </message>
</context>
<context>
    <name>TournamentInfo</name>
    <message>
        <source>OPEN</source>
        <translation>受付中</translation>
    </message>
    <message>
        <source>CLOSED</source>
        <translation>締切</translation>
    </message>
    <message>
        <source>SEATING</source>
        <translation>着席中</translation>
    </message>
    <message>
        <source>PLAYING</source>
        <translation>対局中</translation>
    </message>
    <message>
        <source>PAUSED</source>
        <translation>休止中</translation>
    </message>
    <message>
        <source>FINISHED</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>FAILED</source>
        <translation>不成立</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <comment>%1 is number of registered players, %2 is max number of players in tournament</comment>
        <translation>%1 / %2</translation>
    </message>
</context>
<context>
    <name>TournamentRankingModel</name>
    <message>
        <source>Rank</source>
        <translation>順位</translation>
    </message>
    <message>
        <source>User</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>Table Points</source>
        <translation>卓ポイント</translation>
    </message>
    <message>
        <source>Points</source>
        <translation>ポイント</translation>
    </message>
</context>
<context>
    <name>TournamentsLobbyView</name>
    <message>
        <source>Choose a tournament to join in the list below. Enjoy!</source>
        <translation>下の一覧から参加するトーナメントを選んでください。お楽しみください！</translation>
    </message>
    <message>
        <source>Lobby</source>
        <translation>ロビー</translation>
    </message>
    <message>
        <source>Show info</source>
        <translation>情報を表示</translation>
    </message>
</context>
<context>
    <name>TournamentView</name>
    <message>
        <source>Details</source>
        <translation>詳細</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状態</translation>
    </message>
    <message>
        <source>Join Tournament</source>
        <translation>トーナメントに参加</translation>
    </message>
    <message>
        <source>Leave Tournament</source>
        <translation>トーナメントから退出</translation>
    </message>
    <message>
        <source>About</source>
        <translation>概要</translation>
    </message>
    <message>
        <source>Standings</source>
        <translation>順位表</translation>
    </message>
    <message>
        <source>Tables</source>
        <translation>卓</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>チャット</translation>
    </message>
</context>
<context>
    <name>TournamentWindow</name>
    <message>
        <source>Failed</source>
        <translation>失敗しました</translation>
    </message>
    <message>
        <source>Denied</source>
        <translation>拒否されました</translation>
    </message>
    <message>
        <source>Insufficient Funds</source>
        <translation>残高不足</translation>
    </message>
    <message>
        <source>Tournament is full</source>
        <translation>トーナメントは満員です</translation>
    </message>
    <message>
        <source>Access Denied</source>
        <translation>アクセスが拒否されました</translation>
    </message>
    <message>
        <source>Already Registered</source>
        <translation>登録済みです</translation>
    </message>
    <message>
        <source>Tournament is running</source>
        <translation>トーナメントは進行中です</translation>
    </message>
    <message>
        <source>Open for registration, registration closes at %1</source>
        <translation>登録受付中、締切 %1</translation>
    </message>
    <message>
        <source>Registration closed, tournament starts at %1</source>
        <translation>登録締切、トーナメント開始 %1</translation>
    </message>
    <message>
        <source>Seating players at the tables</source>
        <translation>プレイヤーを卓に着席させています</translation>
    </message>
    <message>
        <source>Round %L1 of %L2 in play</source>
        <translation>第 %L1 / %L2 ラウンド進行中</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Unknown tournament status!</source>
        <translation>不明なトーナメント状態です！</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt; - %2</source>
        <comment>%1 - name of tournament, %2 - current status</comment>
        <translation>&lt;b&gt;%1&lt;/b&gt; - %2</translation>
    </message>
    <message>
        <source>Register (%1)</source>
        <translation>登録 (%1)</translation>
    </message>
    <message>
        <source>Leave Tournament</source>
        <translation>トーナメントから退出</translation>
    </message>
    <message>
        <source>Unregister</source>
        <translation>登録取消</translation>
    </message>
    <message>
        <source>Tournament open for registration.</source>
        <translation>トーナメントの登録を受け付けています。</translation>
    </message>
    <message>
        <source>Tournament signup closed. Waiting for tournament to start.</source>
        <translation>登録は締め切られました。トーナメントの開始を待っています。</translation>
    </message>
    <message>
        <source>Currently playing round %L1</source>
        <translation>第 %L1 ラウンド対局中</translation>
    </message>
    <message>
        <source>Tournament has finished</source>
        <translation>トーナメントは終了しました</translation>
    </message>
    <message>
        <source>now</source>
        <translation>まもなく</translation>
    </message>
    <message>
        <source>in %1</source>
        <comment>%1 - time to start</comment>
        <translation>あと %1</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt; - Paused</source>
        <comment>%1 - name of tournament</comment>
        <translation>&lt;b&gt;%1&lt;/b&gt; - 休止中</translation>
    </message>
    <message>
        <source>Round %L1 of %L2 starts at %3 (%4)</source>
        <translation>第 %L1 / %L2 ラウンドは %3 に開始 (%4)</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Registration Cost</source>
        <translation>登録費</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>ルール</translation>
    </message>
    <message>
        <source>Number Of Rounds</source>
        <translation>ラウンド数</translation>
    </message>
    <message>
        <source>Minimum Number Of Players</source>
        <translation>最少プレイヤー数</translation>
    </message>
    <message>
        <source>Maximum Number Of Players</source>
        <translation>最大プレイヤー数</translation>
    </message>
    <message>
        <source>Number Of Registrered Players</source>
        <translation>登録プレイヤー数</translation>
    </message>
    <message>
        <source>Registration Ends At</source>
        <translation>登録締切</translation>
    </message>
    <message>
        <source>Tournament Starts At</source>
        <translation>トーナメント開始</translation>
    </message>
    <message>
        <source>Tournament Ends At</source>
        <translation>トーナメント終了</translation>
    </message>
    <message>
        <source>Round %1 Starts At</source>
        <translation>第 %1 ラウンド開始</translation>
    </message>
    <message>
        <source>Round %1 Duration</source>
        <translation>第 %1 ラウンドの時間</translation>
    </message>
    <message>
        <source>Leave tournament?</source>
        <translation>トーナメントから退出しますか？</translation>
    </message>
    <message>
        <source>Do you really want to leave this tournament?
Your entrance fee will be lost.</source>
        <translation>本当にこのトーナメントから退出しますか？
参加費は返金されません。</translation>
    </message>
    <message>
        <source>Unregister from tournament?</source>
        <translation>トーナメントの登録を取り消しますか？</translation>
    </message>
    <message>
        <source>Do you really want to unregister from this tournament?</source>
        <translation>本当にこのトーナメントの登録を取り消しますか？</translation>
    </message>
    <message>
        <source>Join tournament</source>
        <translation>トーナメントに参加</translation>
    </message>
    <message>
        <source>You don't have enough money on your account to join the tournament.
Do you want to make a deposit now?</source>
        <translation>トーナメントに参加するための残高が足りません。
今すぐ入金しますか？</translation>
    </message>
    <message>
        <source>Deposit</source>
        <translation>入金</translation>
    </message>
    <message>
        <source>Your account is opened in a web browser</source>
        <translation>アカウントがウェブブラウザで開かれます</translation>
    </message>
    <message>
        <source>Join tournament failed!
%1</source>
        <translation>トーナメントへの参加に失敗しました！
%1</translation>
    </message>
    <message>
        <source>Unregister from tournament</source>
        <translation>トーナメントの登録取消</translation>
    </message>
    <message>
        <source>Unregister from tournament failed!
%1</source>
        <translation>トーナメントの登録取消に失敗しました！
%1</translation>
    </message>
    <message>
        <source>Leave tournament</source>
        <translation>トーナメントから退出</translation>
    </message>
    <message>
        <source>Leave tournament failed!
%1</source>
        <translation>トーナメントからの退出に失敗しました！
%1</translation>
    </message>
    <message>
        <source>Tournament removed</source>
        <translation>トーナメント削除</translation>
    </message>
    <message>
        <source>This tournament has been removed</source>
        <translation>このトーナメントは削除されました</translation>
    </message>
</context>
</TS>
