<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh">
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
        <translation>发送</translation>
    </message>
</context>
<context>
    <name>ConferenceWidget</name>
    <message>
        <source>No error</source>
        <translation>没有错误</translation>
    </message>
    <message>
        <source>Undefined error</source>
        <translation>未知错误</translation>
    </message>
    <message>
        <source>You've been banned from this room</source>
        <translation>您已被禁止进入此聊天室</translation>
    </message>
    <message>
        <source>The room is password protected</source>
        <translation>此聊天室受密码保护</translation>
    </message>
    <message>
        <source>This is a members only room</source>
        <translation>此聊天室仅限成员</translation>
    </message>
    <message>
        <source>Your nickname is already in use in this room</source>
        <translation>您的昵称已在此聊天室中使用</translation>
    </message>
    <message>
        <source>The room is full</source>
        <translation>聊天室已满</translation>
    </message>
    <message>
        <source>The room is locked</source>
        <translation>聊天室已锁定</translation>
    </message>
    <message>
        <source>The room doesn't exist</source>
        <translation>聊天室不存在</translation>
    </message>
    <message>
        <source>Lobby chat unavailable</source>
        <translation>大厅聊天不可用</translation>
    </message>
    <message>
        <source>Tournament chat unavailable</source>
        <translation>锦标赛聊天不可用</translation>
    </message>
    <message>
        <source>The room refused the entry</source>
        <translation>聊天室拒绝了进入</translation>
    </message>
    <message>
        <source>Table chat only available to players</source>
        <translation>牌桌聊天仅对玩家开放</translation>
    </message>
    <message>
        <source>Tournament chat only available to registered players</source>
        <translation>锦标赛聊天仅对已报名玩家开放</translation>
    </message>
    <message>
        <source>%1 joined the chat</source>
        <translation>%1 加入了聊天</translation>
    </message>
    <message>
        <source>%1 left the chat</source>
        <translation>%1 离开了聊天</translation>
    </message>
    <message>
        <source>%1 has been kicked from the chat by %2</source>
        <translation>%1 被 %2 踢出了聊天</translation>
    </message>
    <message>
        <source>%1 has been kicked from the chat by %2 due to %3</source>
        <translation>%1 被 %2 踢出了聊天，原因：%3</translation>
    </message>
    <message>
        <source>%1 has been kicked from the chat</source>
        <translation>%1 被踢出了聊天</translation>
    </message>
    <message>
        <source>%1 has been kicked from the chat due to %2</source>
        <translation>%1 被踢出了聊天，原因：%2</translation>
    </message>
    <message>
        <source>%1 has been banned from the chat by %2</source>
        <translation>%1 被 %2 禁止参加聊天</translation>
    </message>
    <message>
        <source>%1 has been banned from the chat by %2 due to %3</source>
        <translation>%1 被 %2 禁止参加聊天，原因：%3</translation>
    </message>
    <message>
        <source>%1 has been banned from the chat</source>
        <translation>%1 被禁止参加聊天</translation>
    </message>
    <message>
        <source>%1 has been banned from the chat due to %2</source>
        <translation>%1 被禁止参加聊天，原因：%2</translation>
    </message>
    <message>
        <source>Your message was not delivered: %1</source>
        <translation>消息未能送达：%1</translation>
    </message>
    <message>
        <source>Chat is offline until the next login</source>
        <translation>在下次登录之前聊天处于离线状态</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <comment>%1 is the program's text of an error, %2 the chat server's own explanation</comment>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>The room has been closed</source>
        <translation>该聊天室已关闭</translation>
    </message>
    <message>
        <source>%1 set the subject: %2</source>
        <translation>%1 设置了话题：%2</translation>
    </message>
    <message>
        <source>The chat room service cannot be reached</source>
        <translation>无法连接聊天室服务</translation>
    </message>
    <message>
        <source>The chat server's room list could not be read: there is no lobby room to enter</source>
        <translation>无法读取聊天服务器的房间列表：没有可进入的大厅房间</translation>
    </message>
    <message>
        <source>The chat server has no lobby room to enter</source>
        <translation>聊天服务器没有可进入的大厅房间</translation>
    </message>
    <message>
        <source>The chat server offers no chat rooms</source>
        <translation>聊天服务器不提供聊天室</translation>
    </message>
</context>
</TS>
