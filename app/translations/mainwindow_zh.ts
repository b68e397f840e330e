<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>MainView</name>
    <message>
        <source>My account</source>
        <translation>我的账户</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>客服</translation>
    </message>
    <message>
        <source>Toggle fullscreen</source>
        <translation>切换全屏</translation>
    </message>
    <message>
        <source>Fullscreen</source>
        <translation>全屏</translation>
    </message>
    <message>
        <source>Ctrl+F</source>
        <comment>Toggle fullscreen</comment>
        <translation>Ctrl+F</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Lobby chat</source>
        <translation>大厅聊天</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Web page</source>
        <translation>网页</translation>
    </message>
    <message>
        <source>No web browser could be started. Open this address in your web browser:</source>
        <translation>无法启动网页浏览器。请在网页浏览器中打开此地址：</translation>
    </message>
    <message>
        <source>Resolution too low!</source>
        <translation>分辨率太低！</translation>
    </message>
    <message>
        <source>You should have a resolution of at least 1024x768, you currently have %L1x%L2</source>
        <translation>分辨率至少应为 1024x768，当前为 %L1x%L2</translation>
    </message>
    <message>
        <source>System message</source>
        <translation>系统消息</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Leave Failed</source>
        <translation>离开失败</translation>
    </message>
    <message>
        <source>Watch Failed</source>
        <translation>观战失败</translation>
    </message>
    <message>
        <source>Join game failed!</source>
        <translation>加入游戏失败！</translation>
    </message>
    <message>
        <source>Failed to join game.
Please try again in a little while.
If problem persists please contact support</source>
        <translation>加入游戏失败。
请稍后再试。
如果问题仍然存在，请联系客服</translation>
    </message>
    <message>
        <source>Rejoin Table</source>
        <translation>重新加入牌桌</translation>
    </message>
    <message>
        <source>Do you want to rejoin table %1?</source>
        <translation>要重新加入牌桌 %1 吗？</translation>
    </message>
    <message>
        <source>Watch Table</source>
        <translation>观战牌桌</translation>
    </message>
    <message>
        <source>Do you want to continue watching table %1?</source>
        <translation>要继续观战牌桌 %1 吗？</translation>
    </message>
    <message>
        <source>You are already seated at table %L1.
Do you want to rejoin?</source>
        <translation>您已在牌桌 %L1 就座。
要重新加入吗？</translation>
    </message>
    <message>
        <source>Join Failed</source>
        <translation>加入失败</translation>
    </message>
    <message>
        <source>Join Error</source>
        <translation>加入错误</translation>
    </message>
    <message>
        <source>Table Full</source>
        <translation>牌桌已满</translation>
    </message>
    <message>
        <source>Table In Play</source>
        <translation>牌桌正在游戏中</translation>
    </message>
    <message>
        <source>You don't have enough money on your account to join the table.
Do you want to make a deposit now?</source>
        <translation>您的账户余额不足，无法加入该牌桌。
现在要存款吗？</translation>
    </message>
    <message>
        <source>Deposit</source>
        <translation>存款</translation>
    </message>
    <message>
        <source>Your account is opened in a web browser</source>
        <translation>已在网页浏览器中打开您的账户</translation>
    </message>
    <message>
        <source>This page is not available.</source>
        <translation>此页面不可用。</translation>
    </message>
    <message>
        <source>A player with the same IP address as you has already joined the table.
Please contact the support to remedy the situation.</source>
        <translation>与您 IP 地址相同的玩家已加入该牌桌。
请联系客服解决。</translation>
    </message>
    <message>
        <source>Forced logout</source>
        <translation>强制登出</translation>
    </message>
    <message>
        <source>You were forcefully logged out!</source>
        <translation>您已被强制登出！</translation>
    </message>
    <message>
        <source>The server closed the connection</source>
        <translation>服务器关闭了连接</translation>
    </message>
    <message>
        <source>Server not answering</source>
        <translation>服务器无响应</translation>
    </message>
    <message>
        <source>The server is not answering.
What you do reaches it only when it answers again.</source>
        <translation>服务器没有响应。
您的操作要等服务器再次响应后才能送达。</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Are you sure you want to quit?</source>
        <translation>确定要退出吗？</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Tables</source>
        <translation>牌桌</translation>
    </message>
    <message>
        <source>Tournaments</source>
        <translation>锦标赛</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Friends</source>
        <translation>好友</translation>
    </message>
    <message>
        <source>How to</source>
        <translation>玩法</translation>
    </message>
    <message>
        <source>Make your choice below or go to the Lobby for more rules and table options</source>
        <translation>请在下方选择，或前往大厅查看更多规则和牌桌选项</translation>
    </message>
    <message>
        <source>Windowed</source>
        <translation>窗口</translation>
    </message>
    <message>
        <source>Fullscreen</source>
        <translation>全屏</translation>
    </message>
    <message>
        <source>New tournament round - %1</source>
        <translation>新一轮锦标赛 - %1</translation>
    </message>
    <message>
        <source>Continuing tournament round - %1</source>
        <translation>继续锦标赛轮次 - %1</translation>
    </message>
    <message>
        <source>You have been assigned to tournament table %1. Show now?</source>
        <translation>您已被分配到锦标赛牌桌 %1。现在显示吗？</translation>
    </message>
    <message>
        <source>You are assigned to tournament table %1. Show now?</source>
        <translation>您被分配在锦标赛牌桌 %1。现在显示吗？</translation>
    </message>
    <message>
        <source>This is you</source>
        <translation>这是您自己</translation>
    </message>
    <message>
        <source>Add to friends</source>
        <translation>加为好友</translation>
    </message>
    <message>
        <source>Watch table %1</source>
        <extracomment>%1 is table name</extracomment>
        <translation>观看牌桌 %1</translation>
    </message>
    <message>
        <source>Watch special table %1</source>
        <extracomment>%1 is table id</extracomment>
        <translation>观看特别牌桌 %1</translation>
    </message>
    <message>
        <source>Friend is not playing</source>
        <translation>好友没有在玩</translation>
    </message>
    <message>
        <source>Error getting player id</source>
        <translation>无法获取玩家编号</translation>
    </message>
</context>
<context>
    <name>LoginForm</name>
    <message>
        <source>Log in to Mahjong</source>
        <translation>登录麻将</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>用户名</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Log in</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>注册</translation>
    </message>
    <message>
        <source>Choose language</source>
        <translation>选择语言</translation>
    </message>
</context>
<context>
    <name>LoginWindow</name>
    <message>
        <source>&lt;a style=&quot;%1&quot; href=&quot;#reset-password&quot;&gt;Reset password&lt;/a&gt;</source>
        <translation>&lt;a style=&quot;%1&quot; href=&quot;#reset-password&quot;&gt;重置密码&lt;/a&gt;</translation>
    </message>
    <message>
        <source>You are not allowed to login, please contact customer support!</source>
        <translation>您不被允许登录，请联系客服！</translation>
    </message>
    <message>
        <source>Server error!</source>
        <translation>服务器错误！</translation>
    </message>
    <message>
        <source>You need to verify your email first! Please check your inbox for verification email. Contact support if problem persists.</source>
        <translation>您需要先验证电子邮箱！请查看收件箱中的验证邮件。如果问题仍然存在，请联系客服。</translation>
    </message>
    <message>
        <source>You have excluded yourself from playing. Contact support if this is incorrect.</source>
        <translation>您已将自己排除在游戏之外。如有误，请联系客服。</translation>
    </message>
    <message>
        <source>Unknown login failure!</source>
        <translation>未知的登录失败！</translation>
    </message>
    <message>
        <source>Login failure!</source>
        <translation>登录失败！</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>正在连接...</translation>
    </message>
    <message>
        <source>The server did not answer the login.
Do you want to try again?</source>
        <translation>服务器没有回应登录请求。
要重试吗？</translation>
    </message>
    <message>
        <source>This user name cannot be used to log in: a user name may hold only Western European letters, digits and signs.</source>
        <translation>此用户名无法用于登录：用户名只能包含西欧字母、数字和符号。</translation>
    </message>
</context>
<context>
    <name>CreateUserForm</name>
    <message>
        <source>Create New User</source>
        <translation>创建新用户</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>用户名</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>电子邮箱</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Repeat Password</source>
        <translation>确认密码</translation>
    </message>
    <message>
        <source>Create User</source>
        <translation>创建用户</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CreateUserWindow</name>
    <message>
        <source>User name</source>
        <translation>用户名</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>I'm over %L1 years old</source>
        <translation>我已年满 %L1 岁</translation>
    </message>
    <message>
        <source>I accept the &lt;a style=&quot;%1&quot; href=&quot;#terms&quot;&gt;terms and conditions&lt;/a&gt;</source>
        <translation>我接受&lt;a style=&quot;%1&quot; href=&quot;#terms&quot;&gt;条款和条件&lt;/a&gt;</translation>
    </message>
    <message>
        <source>User name may hold only Western European letters, digits and signs</source>
        <translation>用户名只能包含西欧字母、数字和符号</translation>
    </message>
    <message>
        <source>User name must contain between %1 and %2 characters</source>
        <translation>用户名必须包含 %1 到 %2 个字符</translation>
    </message>
    <message>
        <source>Password must contain between %1 and %2 characters</source>
        <translation>密码必须包含 %1 到 %2 个字符</translation>
    </message>
    <message>
        <source>Repeated password doesn't match</source>
        <translation>两次输入的密码不一致</translation>
    </message>
    <message>
        <source>Register User</source>
        <translation>注册用户</translation>
    </message>
</context>
<context>
    <name>PreferencesView</name>
    <message>
        <source>Change your settings below, changes will take effect immediately.</source>
        <translation>请在下方更改设置，更改将立即生效。</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Game</source>
        <translation>游戏</translation>
    </message>
    <message>
        <source>Auto pass</source>
        <translation>自动过</translation>
    </message>
    <message>
        <source>Auto-close score dialogs</source>
        <translation>自动关闭计分窗口</translation>
    </message>
    <message>
        <source>Controls if score dialogs are automatically closed when a new round begins</source>
        <translation>设置新一局开始时是否自动关闭计分窗口</translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation>声音</translation>
    </message>
    <message>
        <source>Animations</source>
        <translation>动画</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>New password</source>
        <translation>新密码</translation>
    </message>
    <message>
        <source>Retype password</source>
        <translation>再次输入密码</translation>
    </message>
    <message>
        <source>Change password</source>
        <translation>更改密码</translation>
    </message>
    <message>
        <source>Player</source>
        <translation>玩家</translation>
    </message>
    <message>
        <source>Choose avatar...</source>
        <translation>选择头像...</translation>
    </message>
    <message>
        <source>Tile graphics</source>
        <translation>牌面图案</translation>
    </message>
    <message>
        <source>Face</source>
        <translation>正面</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>背面</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Change password failed!</source>
        <translation>更改密码失败！</translation>
    </message>
    <message>
        <source>Can not set empty password!</source>
        <translation>不能设置空密码！</translation>
    </message>
    <message>
        <source>New and retyped password must match</source>
        <translation>新密码与再次输入的密码必须一致</translation>
    </message>
    <message>
        <source>Change password!</source>
        <translation>更改密码！</translation>
    </message>
    <message>
        <source>Success!</source>
        <translation>成功！</translation>
    </message>
    <message>
        <source>The server did not answer the password change.
Your password may be unchanged: please try again.</source>
        <translation>服务器没有回应密码更改请求。
密码可能未更改，请重试。</translation>
    </message>
    <message>
        <source>The tile faces in %1 cannot be drawn; the program&apos;s own are shown.</source>
        <translation>无法绘制 %1 中的牌面，现显示程序自带的牌面。</translation>
    </message>
    <message>
        <source>The tile backs in %1 cannot be drawn; the program&apos;s own are shown.</source>
        <translation>无法绘制 %1 中的牌背，现显示程序自带的牌背。</translation>
    </message>
</context>
</TS>
