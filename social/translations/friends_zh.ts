<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh">
<context>
    <name>AvatarDialog</name>
    <message>
        <source>Choose avatar</source>
        <translation>选择头像</translation>
    </message>
    <message>
        <source>Avatar images can only be 64x64 pixels (will be scaled down if larger)</source>
        <translation>头像图片最大为 64x64 像素（较大的图片将被缩小）</translation>
    </message>
    <message>
        <source>Custom...</source>
        <translation>自定义...</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Locate Avatar Image</source>
        <translation>选择头像图片</translation>
    </message>
    <message>
        <source>Image files</source>
        <translation>图片文件</translation>
    </message>
    <message>
        <source>The file %1 is unreadable</source>
        <translation>无法读取文件 %1</translation>
    </message>
    <message>
        <source>The file %1 is an invalid image</source>
        <translation>文件 %1 不是有效的图片</translation>
    </message>
    <message>
        <source>The file %1 is too large</source>
        <translation>文件 %1 太大</translation>
    </message>
    <message>
        <source>Failed to change avatar</source>
        <translation>更换头像失败</translation>
    </message>
</context>
<context>
    <name>FriendDetailView</name>
    <message>
        <source>Friend Details</source>
        <translation>好友详情</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Player is seated at:</source>
        <translation>玩家所在的牌桌：</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>加入</translation>
    </message>
    <message>
        <source>Watch</source>
        <translation>观战</translation>
    </message>
</context>
<context>
    <name>FriendDetailWindow</name>
    <message>
        <source>Friend details for %1</source>
        <translation>%1 的详情</translation>
    </message>
    <message>
        <source>%1 with status &quot;%2&quot;</source>
        <extracomment>%1 is availability type, %2 is user status message</extracomment>
        <translation>%1，状态为“%2”</translation>
    </message>
    <message>
        <source>Which table? Click one of the tables first.</source>
        <translation>哪一张牌桌？请先点击一张牌桌。</translation>
    </message>
</context>
<context>
    <name>FriendSearchView</name>
    <message>
        <source>Friend search results</source>
        <translation>好友搜索结果</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Add to friends</source>
        <translation>添加为好友</translation>
    </message>
</context>
<context>
    <name>FriendSearchWindow</name>
    <message>
        <source>Add to friends</source>
        <translation>添加为好友</translation>
    </message>
    <message>
        <source>Add item to friends list</source>
        <translation>将此项添加到好友列表</translation>
    </message>
    <message>
        <source>User</source>
        <translation>用户</translation>
    </message>
    <message>
        <source>Search error</source>
        <translation>搜索出错</translation>
    </message>
    <message>
        <source>This search service cannot search by name</source>
        <translation>此搜索服务无法按名称搜索</translation>
    </message>
    <message>
        <source>Chat is offline until the next login</source>
        <translation>在下次登录之前聊天处于离线状态</translation>
    </message>
    <message numerus="yes">
        <source>%Ln user(s) found</source>
        <translation>
            <numerusform>找到 %Ln 个用户</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FriendsRosterModel</name>
    <message>
        <source>not available</source>
        <translation>不在线</translation>
    </message>
    <message>
        <source>online</source>
        <translation>在线</translation>
    </message>
    <message>
        <source>away</source>
        <translation>离开</translation>
    </message>
    <message>
        <source>talkative</source>
        <translation>想聊天</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>忙碌</translation>
    </message>
    <message>
        <source>&lt;unknown availability&gt;</source>
        <translation>&lt;未知状态&gt;</translation>
    </message>
    <message>
        <source>%1 is %2 with status &quot;%3&quot;</source>
        <extracomment>%1 is friend name, %2 is availability type, %3 is user status message</extracomment>
        <translation>%1 %2，状态为“%3”</translation>
    </message>
    <message>
        <source>%1 is %2</source>
        <extracomment>%1 is friend name, %2 is availability type</extracomment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>FriendsView</name>
    <message>
        <source>Add friends and see when they are online!</source>
        <translation>添加好友，随时了解他们是否在线！</translation>
    </message>
    <message>
        <source>Friends</source>
        <translation>好友</translation>
    </message>
    <message>
        <source>Find friend</source>
        <translation>查找好友</translation>
    </message>
    <message>
        <source>Friend Details</source>
        <translation>好友详情</translation>
    </message>
</context>
<context>
    <name>FriendsWindow</name>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Remove user from list</source>
        <translation>从列表中删除该用户</translation>
    </message>
</context>
</TS>
