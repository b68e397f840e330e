<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh">
<context>
    <name>TournamentsLobbyModel</name>
    <message>
        <source>Tournament Name</source>
        <translation>锦标赛名称</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Players</source>
        <translation>玩家</translation>
    </message>
    <message>
        <source>Buy-in</source>
        <translation>报名费</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>时长</translation>
    </message>
</context>
<context>
    <name>TournamentInfo</name>
    <message>
        <source>OPEN</source>
        <translation>开放</translation>
    </message>
    <message>
        <source>CLOSED</source>
        <translation>已截止</translation>
    </message>
    <message>
        <source>SEATING</source>
        <translation>入座中</translation>
    </message>
    <message>
        <source>PLAYING</source>
        <translation>进行中</translation>
    </message>
    <message>
        <source>PAUSED</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>FINISHED</source>
        <translation>已结束</translation>
    </message>
    <message>
        <source>FAILED</source>
        <translation>已取消</translation>
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
        <translation>名次</translation>
    </message>
    <message>
        <source>User</source>
        <translation>用户</translation>
    </message>
    <message>
        <source>Table Points</source>
        <translation>牌桌积分</translation>
    </message>
    <message>
        <source>Points</source>
        <translation>积分</translation>
    </message>
</context>
<context>
    <name>TournamentsLobbyView</name>
    <message>
        <source>Choose a tournament to join in the list below. Enjoy!</source>
        <translation>请在下面的列表中选择要参加的锦标赛。祝您愉快！</translation>
    </message>
    <message>
        <source>Lobby</source>
        <translation>大厅</translation>
    </message>
    <message>
        <source>Show info</source>
        <translation>显示信息</translation>
    </message>
</context>
<context>
    <name>TournamentView</name>
    <message>
        <source>Details</source>
        <translation>详情</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Join Tournament</source>
        <translation>参加锦标赛</translation>
    </message>
    <message>
        <source>Leave Tournament</source>
        <translation>退出锦标赛</translation>
    </message>
    <message>
        <source>About</source>
        <translation>简介</translation>
    </message>
    <message>
        <source>Standings</source>
        <translation>排名</translation>
    </message>
    <message>
        <source>Tables</source>
        <translation>牌桌</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>聊天</translation>
    </message>
</context>
<context>
    <name>TournamentWindow</name>
    <message>
        <source>Failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>Denied</source>
        <translation>被拒绝</translation>
    </message>
    <message>
        <source>Insufficient Funds</source>
        <translation>余额不足</translation>
    </message>
    <message>
        <source>Tournament is full</source>
        <translation>锦标赛已满</translation>
    </message>
    <message>
        <source>Access Denied</source>
        <translation>拒绝访问</translation>
    </message>
    <message>
        <source>Already Registered</source>
        <translation>已报名</translation>
    </message>
    <message>
        <source>Tournament is running</source>
        <translation>锦标赛正在进行</translation>
    </message>
    <message>
        <source>Open for registration, registration closes at %1</source>
        <translation>正在接受报名，报名截止于 %1</translation>
    </message>
    <message>
        <source>Registration closed, tournament starts at %1</source>
        <translation>报名已截止，锦标赛开始于 %1</translation>
    </message>
    <message>
        <source>Seating players at the tables</source>
        <translation>正在安排玩家入座</translation>
    </message>
    <message>
        <source>Round %L1 of %L2 in play</source>
        <translation>第 %L1 / %L2 轮进行中</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>已结束</translation>
    </message>
    <message>
        <source>Unknown tournament status!</source>
        <translation>未知的锦标赛状态！</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt; - %2</source>
        <comment>%1 - name of tournament, %2 - current status</comment>
        <translation>&lt;b&gt;%1&lt;/b&gt; - %2</translation>
    </message>
    <message>
        <source>Register (%1)</source>
        <translation>报名 (%1)</translation>
    </message>
    <message>
        <source>Leave Tournament</source>
        <translation>退出锦标赛</translation>
    </message>
    <message>
        <source>Unregister</source>
        <translation>取消报名</translation>
    </message>
    <message>
        <source>Tournament open for registration.</source>
        <translation>锦标赛正在接受报名。</translation>
    </message>
    <message>
        <source>Tournament signup closed. Waiting for tournament to start.</source>
        <translation>报名已截止。等待锦标赛开始。</translation>
    </message>
    <message>
        <source>Currently playing round %L1</source>
        <translation>正在进行第 %L1 轮</translation>
    </message>
    <message>
        <source>Tournament has finished</source>
        <translation>锦标赛已结束</translation>
    </message>
    <message>
        <source>now</source>
        <translation>现在</translation>
    </message>
    <message>
        <source>in %1</source>
        <comment>%1 - time to start</comment>
        <translation>%1 后</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt; - Paused</source>
        <comment>%1 - name of tournament</comment>
        <translation>&lt;b&gt;%1&lt;/b&gt; - 暂停</translation>
    </message>
    <message>
        <source>Round %L1 of %L2 starts at %3 (%4)</source>
        <translation>第 %L1 / %L2 轮开始于 %3 (%4)</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Registration Cost</source>
        <translation>报名费用</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>规则</translation>
    </message>
    <message>
        <source>Number Of Rounds</source>
        <translation>轮数</translation>
    </message>
    <message>
        <source>Minimum Number Of Players</source>
        <translation>最少玩家数</translation>
    </message>
    <message>
        <source>Maximum Number Of Players</source>
        <translation>最多玩家数</translation>
    </message>
    <message>
        <source>Number Of Registrered Players</source>
        <translation>已报名玩家数</translation>
    </message>
    <message>
        <source>Registration Ends At</source>
        <translation>报名截止</translation>
    </message>
    <message>
        <source>Tournament Starts At</source>
        <translation>锦标赛开始</translation>
    </message>
    <message>
        <source>Tournament Ends At</source>
        <translation>锦标赛结束</translation>
    </message>
    <message>
        <source>Round %1 Starts At</source>
        <translation>第 %1 轮开始</translation>
    </message>
    <message>
        <source>Round %1 Duration</source>
        <translation>第 %1 轮时长</translation>
    </message>
    <message>
        <source>Leave tournament?</source>
        <translation>退出锦标赛？</translation>
    </message>
    <message>
        <source>Do you really want to leave this tournament?
Your entrance fee will be lost.</source>
        <translation>您确定要退出此锦标赛吗？
报名费将不予退还。</translation>
    </message>
    <message>
        <source>Unregister from tournament?</source>
        <translation>取消锦标赛报名？</translation>
    </message>
    <message>
        <source>Do you really want to unregister from this tournament?</source>
        <translation>您确定要取消此锦标赛的报名吗？</translation>
    </message>
    <message>
        <source>Join tournament</source>
        <translation>参加锦标赛</translation>
    </message>
    <message>
        <source>You don't have enough money on your account to join the tournament.
Do you want to make a deposit now?</source>
        <translation>您的账户余额不足，无法参加锦标赛。
现在要充值吗？</translation>
    </message>
    <message>
        <source>Deposit</source>
        <translation>充值</translation>
    </message>
    <message>
        <source>Your account is opened in a web browser</source>
        <translation>您的账户将在网页浏览器中打开</translation>
    </message>
    <message>
        <source>Join tournament failed!
%1</source>
        <translation>参加锦标赛失败！
%1</translation>
    </message>
    <message>
        <source>Unregister from tournament</source>
        <translation>取消锦标赛报名</translation>
    </message>
    <message>
        <source>Unregister from tournament failed!
%1</source>
        <translation>取消锦标赛报名失败！
%1</translation>
    </message>
    <message>
        <source>Leave tournament</source>
        <translation>退出锦标赛</translation>
    </message>
    <message>
        <source>Leave tournament failed!
%1</source>
        <translation>退出锦标赛失败！
%1</translation>
    </message>
    <message>
        <source>Tournament removed</source>
        <translation>锦标赛已删除</translation>
    </message>
    <message>
        <source>This tournament has been removed</source>
        <translation>此锦标赛已被删除</translation>
    </message>
</context>
</TS>
