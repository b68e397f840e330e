<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>BridgedWebPage</name>
    <message>
        <source>The page says</source>
        <translation>ページからのメッセージ</translation>
    </message>
    <message>
        <source>The page at %1 says</source>
        <translation>%1 のページからのメッセージ</translation>
    </message>
</context>
<context>
    <name>ConnectionManager</name>
    <message>
        <source>Unable to establish secure connection to server</source>
        <translation>サーバーとの安全な接続を確立できません</translation>
    </message>
    <message>
        <source>Connection to port %1 on host %2 refused, retry?</source>
        <translation>ホスト %2 のポート %1 への接続が拒否されました。再試行しますか？</translation>
    </message>
    <message>
        <source>Host %1 not found, retry?</source>
        <translation>ホスト %1 が見つかりません。再試行しますか？</translation>
    </message>
    <message>
        <source>Connection to port %1 on host %2 timed out, retry?</source>
        <translation>ホスト %2 のポート %1 への接続がタイムアウトしました。再試行しますか？</translation>
    </message>
    <message>
        <source>Network error</source>
        <translation>ネットワークエラー</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>失敗</translation>
    </message>
    <message>
        <source>Denied</source>
        <translation>拒否されました</translation>
    </message>
    <message>
        <source>Already Seated</source>
        <translation>既に着席しています</translation>
    </message>
    <message>
        <source>Plain string</source>
        <translation>プレーンな文字列</translation>
    </message>
    <message>
        <source>Forbidden</source>
        <translation>禁止されています</translation>
    </message>
    <message>
        <source>User name already in use</source>
        <translation>このユーザー名は既に使われています</translation>
    </message>
    <message>
        <source>User name invalid</source>
        <translation>ユーザー名が無効です</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>パスワードが無効です</translation>
    </message>
    <message>
        <source>Email already in use</source>
        <translation>このメールアドレスは既に使われています</translation>
    </message>
    <message>
        <source>Email invalid</source>
        <translation>メールアドレスが無効です</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>登録されていません</translation>
    </message>
    <message>
        <source>Tournament finished</source>
        <translation>トーナメントは終了しました</translation>
    </message>
    <message>
        <source>Registration not closed</source>
        <translation>登録はまだ締め切られていません</translation>
    </message>
    <message>
        <source>Invalid state</source>
        <translation>無効な状態です</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
</context>
<context>
    <name>EmbeddedBrowser</name>
    <message>
        <source>%p%</source>
        <translation>%p%</translation>
    </message>
    <message>
        <source>Secure connection</source>
        <translation>安全な接続</translation>
    </message>
    <message>
        <source>Insecure connection</source>
        <translation>安全でない接続</translation>
    </message>
</context>
<context>
    <name>EmbeddedView</name>
    <message>
        <source>TextLabel</source>
        <translation>テキストラベル</translation>
    </message>
    <message>
        <source>Players with the highest accumulated scores.</source>
        <translation>累計得点が最も高いプレイヤー。</translation>
    </message>
</context>
<context>
    <name>Mahjong</name>
    <message>
        <source>Green Dragon</source>
        <translation>發</translation>
    </message>
    <message>
        <source>Red Dragon</source>
        <translation>中</translation>
    </message>
    <message>
        <source>White Dragon</source>
        <translation>白</translation>
    </message>
    <message>
        <source>East Wind</source>
        <translation>東</translation>
    </message>
    <message>
        <source>South Wind</source>
        <translation>南</translation>
    </message>
    <message>
        <source>West Wind</source>
        <translation>西</translation>
    </message>
    <message>
        <source>North Wind</source>
        <translation>北</translation>
    </message>
    <message>
        <source>Spring</source>
        <translation>春</translation>
    </message>
    <message>
        <source>Summer</source>
        <translation>夏</translation>
    </message>
    <message>
        <source>Autumn</source>
        <translation>秋</translation>
    </message>
    <message>
        <source>Winter</source>
        <translation>冬</translation>
    </message>
    <message>
        <source>Plum blossom</source>
        <translation>梅</translation>
    </message>
    <message>
        <source>Orchid</source>
        <translation>蘭</translation>
    </message>
    <message>
        <source>Chrysanthemum</source>
        <translation>菊</translation>
    </message>
    <message>
        <source>Bamboo</source>
        <translation>索子</translation>
    </message>
    <message>
        <source>Character</source>
        <translation>萬子</translation>
    </message>
    <message>
        <source>Circle</source>
        <translation>筒子</translation>
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Season and number, e.g. Winter 2</comment>
        <extracomment>Season and number, e.g. Winter 2</extracomment>
        <translation>%1 %L2</translation>
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Flower and number, e.g. Orchid 3</comment>
        <translation>%1 %L2</translation>
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Suit and number, e.g. Bamboo 7</comment>
        <translation>%1 %L2</translation>
    </message>
    <message>
        <source>East</source>
        <translation>東</translation>
    </message>
    <message>
        <source>South</source>
        <translation>南</translation>
    </message>
    <message>
        <source>West</source>
        <translation>西</translation>
    </message>
    <message>
        <source>North</source>
        <translation>北</translation>
    </message>
    <message>
        <source>Prevalent wind: East</source>
        <translation>場風: 東</translation>
    </message>
    <message>
        <source>Prevalent wind: South</source>
        <translation>場風: 南</translation>
    </message>
    <message>
        <source>Prevalent wind: West</source>
        <translation>場風: 西</translation>
    </message>
    <message>
        <source>Prevalent wind: North</source>
        <translation>場風: 北</translation>
    </message>
</context>
<context>
    <name>MahjongApplication</name>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>%1
Please send the log file '%2' to </source>
        <translation>%1
ログファイル「%2」を次の宛先へ送ってください: </translation>
    </message>
    <message>
        <source> with a description of what happened.</source>
        <translation>（何が起きたかの説明を添えてください）。</translation>
    </message>
    <message>
        <source>Invalid server data.
Refused with message: %1</source>
        <translation>サーバーから無効なデータを受信しました。
拒否メッセージ: %1</translation>
    </message>
    <message>
        <source>Unhandled Runtime Error.
Error text: %1</source>
        <translation>処理されない実行時エラーが発生しました。
エラー内容: %1</translation>
    </message>
    <message>
        <source>Unhandled Runtime Error.</source>
        <translation>処理されない実行時エラーが発生しました。</translation>
    </message>
    <message>
        <source>Application Started</source>
        <translation>アプリケーションは起動済みです</translation>
    </message>
    <message>
        <source>The application is already started in another window!</source>
        <translation>アプリケーションは既に別のウィンドウで起動しています！</translation>
    </message>
    <message numerus="yes">
        <source>%Ln day(s)</source>
        <translation><numerusform>%Ln日</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Lnh</source>
        <translation><numerusform>%Ln時間</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Ln min(s)</source>
        <translation><numerusform>%Ln分</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Ln second(s)</source>
        <translation><numerusform>%Ln秒</numerusform></translation>
    </message>
</context>
<context>
    <name>MahjongDialog</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
</context>
<context>
    <name>InstallerFetch</name>
    <message>
        <source>this system cannot make secure connections</source>
        <translation>このシステムでは安全な接続ができません</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>操作が取り消されました</translation>
    </message>
    <message>
        <source>Connection closed</source>
        <translation>接続が閉じられました</translation>
    </message>
    <message>
        <source>the server's answer is malformed</source>
        <translation>サーバーの応答が正しくありません</translation>
    </message>
    <message>
        <source>the server redirected the download more than %1 times</source>
        <translation>サーバーがダウンロードを %1 回を超えて転送しました</translation>
    </message>
    <message>
        <source>the server redirected the download to an address that is not a web address</source>
        <translation>サーバーがダウンロードをウェブアドレスではないアドレスへ転送しました</translation>
    </message>
    <message>
        <source>the server redirected the download from a secure address to an insecure one</source>
        <translation>サーバーがダウンロードを安全なアドレスから安全でないアドレスへ転送しました</translation>
    </message>
</context>
<context>
    <name>NewVersionDialog</name>
    <message>
        <source>New version available</source>
        <translation>新しいバージョンがあります</translation>
    </message>
    <message>
        <source>Click here to download new version!</source>
        <translation>ここをクリックして新しいバージョンをダウンロード！</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>続行</translation>
    </message>
    <message>
        <source>Download error</source>
        <translation>ダウンロードエラー</translation>
    </message>
    <message>
        <source>The new version is offered at %1, which is neither a secure address nor the update server. It was not downloaded.</source>
        <translation>新しいバージョンの提供元 %1 は安全なアドレスでも更新サーバーでもないため、ダウンロードしませんでした。</translation>
    </message>
    <message>
        <source>Unable to open file %1: %2.</source>
        <translation>ファイル %1 を開けません: %2。</translation>
    </message>
    <message>
        <source>Client download</source>
        <translation>クライアントのダウンロード</translation>
    </message>
    <message>
        <source>Download failed: %1 %2</source>
        <translation>ダウンロードに失敗しました: %1 %2</translation>
    </message>
    <message>
        <source>Unable to write file %1: %2.</source>
        <translation>ファイル %1 に書き込めません: %2。</translation>
    </message>
    <message>
        <source>Download failed: %1.</source>
        <translation>ダウンロードに失敗しました: %1。</translation>
    </message>
    <message>
        <source>Install error</source>
        <translation>インストールエラー</translation>
    </message>
    <message>
        <source>Couldn't start the installer!</source>
        <translation>インストーラーを起動できませんでした！</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>ファイルが空です</translation>
    </message>
    <message>
        <source>the file is shorter than announced</source>
        <translation>ファイルが予告されたサイズより短いです</translation>
    </message>
    <message>
        <source>the server sent the installer without a stated length</source>
        <translation>サーバーがサイズを示さずにインストーラーを送ってきました</translation>
    </message>
    <message>
        <source>the server sent the installer packed as %1</source>
        <translation>サーバーがインストーラーを %1 で圧縮して送ってきました</translation>
    </message>
    <message>
        <source>the server sent a web page, not the installer</source>
        <translation>サーバーが送ってきたのはインストーラーではなくウェブページでした</translation>
    </message>
    <message>
        <source>Download failed: the server stopped answering.</source>
        <translation>ダウンロードに失敗しました: サーバーが応答しなくなりました。</translation>
    </message>
    <message>
        <source>the disk is full or the file is too large</source>
        <translation>ディスクがいっぱいか、ファイルが大きすぎます</translation>
    </message>
    <message>
        <source>the file was changed on the disk</source>
        <translation>ディスク上のファイルが変更されました</translation>
    </message>
</context>
<context>
    <name>Scores</name>
    <message>
        <source>Bonus</source>
        <translation>ボーナス</translation>
    </message>
    <message>
        <source>Going mahjong</source>
        <translation>和了</translation>
    </message>
    <message>
        <source>Kong of simples</source>
        <translation>中張牌の槓子</translation>
    </message>
    <message>
        <source>Kong of terminals</source>
        <translation>老頭牌の槓子</translation>
    </message>
    <message>
        <source>Kong of honors</source>
        <translation>字牌の槓子</translation>
    </message>
    <message>
        <source>Concealed kong of simples</source>
        <translation>中張牌の暗槓</translation>
    </message>
    <message>
        <source>Concealed kong of terminals</source>
        <translation>老頭牌の暗槓</translation>
    </message>
    <message>
        <source>Concealed kong of honors</source>
        <translation>字牌の暗槓</translation>
    </message>
    <message>
        <source>Pong of simples</source>
        <translation>中張牌の刻子</translation>
    </message>
    <message>
        <source>Pong of terminals</source>
        <translation>老頭牌の刻子</translation>
    </message>
    <message>
        <source>Pong of honors</source>
        <translation>字牌の刻子</translation>
    </message>
    <message>
        <source>Concealed pong of simples</source>
        <translation>中張牌の暗刻</translation>
    </message>
    <message>
        <source>Concealed pong of terminals</source>
        <translation>老頭牌の暗刻</translation>
    </message>
    <message>
        <source>Concealed pong of honors</source>
        <translation>字牌の暗刻</translation>
    </message>
    <message>
        <source>Chow</source>
        <translation>順子</translation>
    </message>
    <message>
        <source>Pair</source>
        <translation>対子</translation>
    </message>
    <message>
        <source>Pair of dragons</source>
        <translation>三元牌の対子</translation>
    </message>
    <message>
        <source>Pair in own and prevailing wind</source>
        <translation>自風と場風の対子</translation>
    </message>
    <message>
        <source>Pair in own wind</source>
        <translation>自風の対子</translation>
    </message>
    <message>
        <source>Pair in prevailing wind</source>
        <translation>場風の対子</translation>
    </message>
    <message>
        <source>Filling only place</source>
        <translation>唯一の待ち</translation>
    </message>
    <message>
        <source>Last tile from wall</source>
        <translation>最後のツモ牌</translation>
    </message>
    <message>
        <source>Heavens blessing</source>
        <translation>天和</translation>
    </message>
    <message>
        <source>Earths blessing</source>
        <translation>地和</translation>
    </message>
    <message>
        <source>Catching the moon from the bottom of the sea</source>
        <translation>海底撈月</translation>
    </message>
    <message>
        <source>Gathering plum blossom from the roof</source>
        <translation>嶺上開花</translation>
    </message>
    <message>
        <source>Kong on kong</source>
        <translation>槓上槓</translation>
    </message>
    <message>
        <source>Thirteen unique wonders</source>
        <translation>十三不塔</translation>
    </message>
    <message>
        <source>Wriggly snake</source>
        <translation>蛇行</translation>
    </message>
    <message>
        <source>Imperial jade</source>
        <translation>緑一色</translation>
    </message>
    <message>
        <source>All honors</source>
        <translation>字一色</translation>
    </message>
    <message>
        <source>Fourfold plenty</source>
        <translation>四槓子</translation>
    </message>
    <message>
        <source>Heads and tails</source>
        <translation>清老頭</translation>
    </message>
    <message>
        <source>Four large blessings special</source>
        <translation>大四喜（特別）</translation>
    </message>
    <message>
        <source>Three great scholars special</source>
        <translation>大三元（特別）</translation>
    </message>
    <message>
        <source>Gates of heaven</source>
        <translation>九蓮宝燈</translation>
    </message>
    <message>
        <source>Buried treasure</source>
        <translation>四暗刻</translation>
    </message>
    <message>
        <source>Chicken hand</source>
        <translation>役なし</translation>
    </message>
    <message>
        <source>Pure double chow</source>
        <translation>一般高</translation>
    </message>
    <message>
        <source>Mixed double chow</source>
        <translation>喜相逢</translation>
    </message>
    <message>
        <source>Short straight</source>
        <translation>連六</translation>
    </message>
    <message>
        <source>Two terminal chows</source>
        <translation>老少副</translation>
    </message>
    <message>
        <source>Pong of terminals or honors</source>
        <translation>幺九刻</translation>
    </message>
    <message>
        <source>Melded kong</source>
        <translation>明槓</translation>
    </message>
    <message>
        <source>One voided suit</source>
        <translation>缺一門</translation>
    </message>
    <message>
        <source>No honors</source>
        <translation>無字</translation>
    </message>
    <message>
        <source>Flower tiles</source>
        <translation>花牌</translation>
    </message>
    <message>
        <source>Edge wait</source>
        <translation>辺張待ち</translation>
    </message>
    <message>
        <source>Closed wait</source>
        <translation>嵌張待ち</translation>
    </message>
    <message>
        <source>Single wait</source>
        <translation>単騎待ち</translation>
    </message>
    <message>
        <source>Self drawn</source>
        <translation>自摸</translation>
    </message>
    <message>
        <source>Dragon pong</source>
        <translation>箭刻</translation>
    </message>
    <message>
        <source>Tile hog</source>
        <translation>四帰一</translation>
    </message>
    <message>
        <source>Seat wind</source>
        <translation>門風刻</translation>
    </message>
    <message>
        <source>Concealed hand</source>
        <translation>門前清</translation>
    </message>
    <message>
        <source>Double pong</source>
        <translation>双同刻</translation>
    </message>
    <message>
        <source>Two concealed pongs</source>
        <translation>双暗刻</translation>
    </message>
    <message>
        <source>Concealed kong</source>
        <translation>暗槓</translation>
    </message>
    <message>
        <source>All simples</source>
        <translation>断幺九</translation>
    </message>
    <message>
        <source>Outside hand</source>
        <translation>全帯幺</translation>
    </message>
    <message>
        <source>Fully concealed hand</source>
        <translation>不求人</translation>
    </message>
    <message>
        <source>Two melded kongs</source>
        <translation>双明槓</translation>
    </message>
    <message>
        <source>Last tile</source>
        <translation>和絶張</translation>
    </message>
    <message>
        <source>One melded one concealed kong</source>
        <translation>明暗槓</translation>
    </message>
    <message>
        <source>Two dragons</source>
        <translation>双箭刻</translation>
    </message>
    <message>
        <source>Melded hand</source>
        <translation>全求人</translation>
    </message>
    <message>
        <source>All types</source>
        <translation>五門斉</translation>
    </message>
    <message>
        <source>Mixed shifted chows</source>
        <translation>三色三歩高</translation>
    </message>
    <message>
        <source>Half flush</source>
        <translation>混一色</translation>
    </message>
    <message>
        <source>All pongs</source>
        <translation>碰碰和</translation>
    </message>
    <message>
        <source>Two concealed kongs</source>
        <translation>双暗槓</translation>
    </message>
    <message>
        <source>Mixed triple chow</source>
        <translation>三色三同順</translation>
    </message>
    <message>
        <source>Mixed shifted pungs</source>
        <translation>三色三節高</translation>
    </message>
    <message>
        <source>Last tile draw</source>
        <translation>妙手回春</translation>
    </message>
    <message>
        <source>Last tile claim</source>
        <translation>海底撈月</translation>
    </message>
    <message>
        <source>Out with replacement tile</source>
        <translation>槓上開花</translation>
    </message>
    <message>
        <source>Reversible tiles</source>
        <translation>推不倒</translation>
    </message>
    <message>
        <source>Mixed straight</source>
        <translation>花龍</translation>
    </message>
    <message>
        <source>Big three winds</source>
        <translation>三風刻</translation>
    </message>
    <message>
        <source>Lower four</source>
        <translation>小於五</translation>
    </message>
    <message>
        <source>Upper four</source>
        <translation>大於五</translation>
    </message>
    <message>
        <source>Knitted straight</source>
        <translation>組合龍</translation>
    </message>
    <message>
        <source>Lesser honors and knitted tiles</source>
        <translation>全不靠</translation>
    </message>
    <message>
        <source>Pure straight</source>
        <translation>清龍</translation>
    </message>
    <message>
        <source>Three suited terminal chows</source>
        <translation>三色双龍会</translation>
    </message>
    <message>
        <source>Pure shifted chows</source>
        <translation>一色三歩高</translation>
    </message>
    <message>
        <source>All fives</source>
        <translation>全帯五</translation>
    </message>
    <message>
        <source>Triple pung</source>
        <translation>三同刻</translation>
    </message>
    <message>
        <source>Three concealed pungs</source>
        <translation>三暗刻</translation>
    </message>
    <message>
        <source>Seven pairs</source>
        <translation>七対子</translation>
    </message>
    <message>
        <source>Greater honors and knitted tiles</source>
        <translation>七星不靠</translation>
    </message>
    <message>
        <source>All even pungs</source>
        <translation>全双刻</translation>
    </message>
    <message>
        <source>Full flush</source>
        <translation>清一色</translation>
    </message>
    <message>
        <source>Pure triple chow</source>
        <translation>一色三同順</translation>
    </message>
    <message>
        <source>Pure shifted pungs</source>
        <translation>一色三節高</translation>
    </message>
    <message>
        <source>Upper tiles</source>
        <translation>全大</translation>
    </message>
    <message>
        <source>Middle tiles</source>
        <translation>全中</translation>
    </message>
    <message>
        <source>Lower tiles</source>
        <translation>全小</translation>
    </message>
    <message>
        <source>Four pure shifted chows</source>
        <translation>一色四歩高</translation>
    </message>
    <message>
        <source>Three kongs</source>
        <translation>三槓子</translation>
    </message>
    <message>
        <source>All terminals and honors</source>
        <translation>混老頭</translation>
    </message>
    <message>
        <source>Quadruple chow</source>
        <translation>一色四同順</translation>
    </message>
    <message>
        <source>Four pure shifted pungs</source>
        <translation>一色四節高</translation>
    </message>
    <message>
        <source>All terminals</source>
        <translation>清老頭</translation>
    </message>
    <message>
        <source>Little four winds</source>
        <translation>小四喜</translation>
    </message>
    <message>
        <source>Little three dragons</source>
        <translation>小三元</translation>
    </message>
    <message>
        <source>Four concealed pungs</source>
        <translation>四暗刻</translation>
    </message>
    <message>
        <source>Pure terminal chows</source>
        <translation>一色双龍会</translation>
    </message>
    <message>
        <source>Big four winds</source>
        <translation>大四喜</translation>
    </message>
    <message>
        <source>Big three dragons</source>
        <translation>大三元</translation>
    </message>
    <message>
        <source>All green</source>
        <translation>緑一色</translation>
    </message>
    <message>
        <source>Nine gates</source>
        <translation>九蓮宝燈</translation>
    </message>
    <message>
        <source>Four kongs</source>
        <translation>四槓子</translation>
    </message>
    <message>
        <source>Seven shifted pairs</source>
        <translation>連七対</translation>
    </message>
    <message>
        <source>Thirteen orphans</source>
        <translation>国士無双</translation>
    </message>
    <message>
        <source>Blessing of heaven</source>
        <translation>天和</translation>
    </message>
    <message>
        <source>Blessing of earth</source>
        <translation>地和</translation>
    </message>
    <message>
        <source>Blessing of man</source>
        <translation>人和</translation>
    </message>
    <message>
        <source>Pong of dragons</source>
        <translation>三元牌の刻子</translation>
    </message>
    <message>
        <source>Kong of dragons</source>
        <translation>三元牌の槓子</translation>
    </message>
    <message>
        <source>Pong in own wind</source>
        <translation>自風の刻子</translation>
    </message>
    <message>
        <source>Kong in own wind</source>
        <translation>自風の槓子</translation>
    </message>
    <message>
        <source>Pong in prevaling wind</source>
        <translation>場風の刻子</translation>
    </message>
    <message>
        <source>Kong in prevaling wind</source>
        <translation>場風の槓子</translation>
    </message>
    <message>
        <source>Three lesser scholars</source>
        <translation>小三元</translation>
    </message>
    <message>
        <source>Three great scholars</source>
        <translation>大三元</translation>
    </message>
    <message>
        <source>Four little joys</source>
        <translation>小四喜</translation>
    </message>
    <message>
        <source>Four large blessings</source>
        <translation>大四喜</translation>
    </message>
    <message>
        <source>Bouqet of flowers</source>
        <translation>花牌揃い</translation>
    </message>
    <message>
        <source>Bouqet of seasons</source>
        <translation>季節牌揃い</translation>
    </message>
    <message>
        <source>Bouqet of flowers and seasons</source>
        <translation>花牌と季節牌揃い</translation>
    </message>
    <message>
        <source>Pair of bonus tiles</source>
        <translation>花牌の対</translation>
    </message>
    <message>
        <source>Three concealed pongs</source>
        <translation>三暗刻</translation>
    </message>
    <message>
        <source>Bottom of the sea</source>
        <translation>海底摸月</translation>
    </message>
    <message>
        <source>Winning on the roof</source>
        <translation>嶺上開花</translation>
    </message>
    <message>
        <source>Bottom of the river</source>
        <translation>河底撈魚</translation>
    </message>
    <message>
        <source>Opening a flower</source>
        <translation>花上開花</translation>
    </message>
    <message>
        <source>All chows</source>
        <translation>平和</translation>
    </message>
    <message>
        <source>No chows</source>
        <translation>順子なし</translation>
    </message>
    <message>
        <source>One suit only</source>
        <translation>一色</translation>
    </message>
    <message>
        <source>Major tiles any pair</source>
        <translation>么九牌と任意の対子</translation>
    </message>
    <message>
        <source>Major tiles only</source>
        <translation>么九牌のみ</translation>
    </message>
    <message>
        <source>Clear suit</source>
        <translation>清一色</translation>
    </message>
    <message>
        <source>Robbing the kong</source>
        <translation>槍槓</translation>
    </message>
    <message>
        <source>Closed ron</source>
        <translation>門前ロン</translation>
    </message>
    <message>
        <source>Pinfu</source>
        <translation>平和</translation>
    </message>
    <message>
        <source>After kong</source>
        <translation>嶺上開花</translation>
    </message>
    <message>
        <source>Riichi</source>
        <translation>立直</translation>
    </message>
    <message>
        <source>Ippatsu</source>
        <translation>一発</translation>
    </message>
    <message>
        <source>Terminals in all sets</source>
        <translation>純全帯幺九</translation>
    </message>
    <message>
        <source>Twice pure double chows</source>
        <translation>二盃口</translation>
    </message>
    <message>
        <source>Yakuman</source>
        <translation>役満</translation>
    </message>
    <message>
        <source>Daburu riichi</source>
        <translation>ダブル立直</translation>
    </message>
    <message>
        <source>Dora</source>
        <translation>ドラ</translation>
    </message>
    <message>
        <source>Ura dora</source>
        <translation>裏ドラ</translation>
    </message>
    <message>
        <source>UNKNOWN SCORE NAME</source>
        <translation>不明な得点名</translation>
    </message>
    <message>
        <source>UNKNOWN DOUBLE NAME</source>
        <translation>不明な翻名</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Initializing...</source>
        <translation>初期化中...</translation>
    </message>
    <message>
        <source>Checking for updates...</source>
        <translation>更新を確認しています...</translation>
    </message>
    <message>
        <source>Checking for updates: connecting to %1...</source>
        <translation>更新を確認しています: %1 に接続中...</translation>
    </message>
    <message>
        <source>Checking for updates: waiting for %1...</source>
        <translation>更新を確認しています: %1 の応答を待っています...</translation>
    </message>
</context>
<context>
    <name>TableCapacity</name>
    <message>
        <source>%L2 of %L3 players seated</source>
        <translation>%L3人中%L2人が着席</translation>
    </message>
</context>
<context>
    <name>TableInfo</name>
    <message>
        <source>Classic</source>
        <translation>クラシック</translation>
    </message>
    <message>
        <source>International</source>
        <translation>国際ルール</translation>
    </message>
    <message>
        <source>Riichi</source>
        <translation>リーチ麻雀</translation>
    </message>
    <message>
        <source>&lt;undefined&gt;</source>
        <translation>&lt;未定義&gt;</translation>
    </message>
    <message>
        <source>Single hand</source>
        <translation>一局戦</translation>
    </message>
    <message>
        <source>Tournament</source>
        <translation>トーナメント</translation>
    </message>
    <message>
        <source>Full game</source>
        <translation>フルゲーム</translation>
    </message>
    <message>
        <source> single hand</source>
        <translation> 一局戦</translation>
    </message>
    <message>
        <source> tournament</source>
        <translation> トーナメント</translation>
    </message>
    <message>
        <source> full game</source>
        <translation> フルゲーム</translation>
    </message>
    <message numerus="yes">
        <source>%Ln second(s)</source>
        <translation><numerusform>%Ln秒</numerusform></translation>
    </message>
</context>
<context>
    <name>TableModel</name>
    <message>
        <source>%1
%2
%4 - %3
Buy-in: %5</source>
        <translation>%1
%2
%4 - %3
参加費: %5</translation>
    </message>
    <message>
        <source>Max win: %1</source>
        <translation>最大獲得: %1</translation>
    </message>
    <message>
        <source>Place bonus: %1</source>
        <translation>順位ボーナス: %1</translation>
    </message>
    <message>
        <source>Feeding penalty: %1</source>
        <translation>放銃ペナルティ: %1</translation>
    </message>
    <message>
        <source>Table Name</source>
        <translation>テーブル名</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>ルール</translation>
    </message>
    <message>
        <source>Players</source>
        <translation>プレイヤー</translation>
    </message>
    <message>
        <source>Time limit</source>
        <translation>持ち時間</translation>
    </message>
    <message>
        <source>Buy-in</source>
        <translation>参加費</translation>
    </message>
    <message>
        <source>Max win</source>
        <translation>最大獲得</translation>
    </message>
</context>
<context>
    <name>TableValue</name>
    <message>
        <source>buy-in: %1</source>
        <translation>参加費: %1</translation>
    </message>
    <message>
        <source>max win: %1</source>
        <translation>最大獲得: %1</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>free</source>
        <translation>無料</translation>
    </message>
    <message>
        <source>%1 + %2</source>
        <translation>%1 + %2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 (%2) + %3</source>
        <translation>%1 (%2) + %3</translation>
    </message>
    <message>
        <source>1st %1</source>
        <translation>1位 %1</translation>
    </message>
    <message>
        <source>2nd %1</source>
        <translation>2位 %1</translation>
    </message>
    <message>
        <source>3rd %1</source>
        <translation>3位 %1</translation>
    </message>
    <message>
        <source>4th %1</source>
        <translation>4位 %1</translation>
    </message>
</context>
<context>
    <name>TranslationsManager</name>
    <message>
        <source>English</source>
        <comment>Translated language name, i.e. for a german translation it would be "Deutsch".</comment>
        <translation>日本語</translation>
    </message>
</context>
<context>
    <name>Utils</name>
    <message>
        <source>...</source>
        <comment>the ellipsis character</comment>
        <translation>…</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>該当なし</translation>
    </message>
    <message>
        <source>&lt;unknown&gt;</source>
        <translation>&lt;不明&gt;</translation>
    </message>
    <message>
        <source>&lt;undefined&gt;</source>
        <translation>&lt;未定義&gt;</translation>
    </message>
</context>
<context>
    <name>WebSchemes</name>
    <message>
        <source>The program runs as root, and its web pages cannot start as root with the browser sandbox on. Start it as an ordinary user, or set QTWEBENGINE_DISABLE_SANDBOX=1.</source>
        <translation>このプログラムは root として動いています。ブラウザーのサンドボックスが有効なままでは、root ではウェブページを開けません。一般ユーザーとして起動するか、QTWEBENGINE_DISABLE_SANDBOX=1 を設定してください。</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>The server is not answering. What you do reaches it only when it answers again.</source>
        <translation>サーバーが応答していません。操作はサーバーが再び応答したときに初めて届きます。</translation>
    </message>
    <message>
        <source>&lt;span style="font-size:8pt; font-weight:600;"&gt;Powered by Zephyrtangle&lt;sup&gt;TM&lt;/sup&gt;&lt;/span&gt;</source>
        <translation>&lt;span style="font-size:8pt; font-weight:600;"&gt;技術提供: Zephyrtangle&lt;sup&gt;TM&lt;/sup&gt;&lt;/span&gt;</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>The server stopped answering</source>
        <translation>サーバーが応答しなくなりました</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>The server has now carried out the password change you asked for at %1, which it had not answered in time.
Your password is the one you typed then.</source>
        <translation>%1 に依頼したパスワードの変更は時間内に応答がありませんでしたが、サーバーが今になって実行しました。
パスワードはそのとき入力したものになっています。</translation>
    </message>
    <message>
        <source>The server has now refused the password change you asked for at %1: %2
Your password is not the one you typed then.</source>
        <translation>%1 に依頼したパスワードの変更を、サーバーが今になって拒否しました: %2
パスワードはそのとき入力したものではありません。</translation>
    </message>
</context>
<context>
    <name>QWebEnginePage</name>
    <message>
        <source>Are you sure you want to leave this page? Changes that you made may not be saved.</source>
        <translation>このページから移動してもよろしいですか？行った変更は保存されない可能性があります。</translation>
    </message>
</context>
<context>
    <name>WatchingWindowWidget</name>
    <message>
        <source>The game is over and this table has closed.</source>
        <translation>ゲームは終了し、このテーブルは閉じられました。</translation>
    </message>
</context>
<context>
    <name>PreferencesView</name>
    <message>
        <source>The settings file cannot be written: changes made now will not be kept.</source>
        <translation>設定ファイルに書き込めません。ここで行った変更は保存されません。</translation>
    </message>
</context>
<context>
    <name>ConferenceWidget</name>
    <message>
        <source>Your message may not have been delivered: %1</source>
        <translation>メッセージは届かなかったかもしれません: %1</translation>
    </message>
    <message>
        <source>Chat is offline until the next login: %1</source>
        <extracomment>%1 says why the chat server refused the login</extracomment>
        <translation>次にログインするまでチャットはオフラインです: %1</translation>
    </message>
    <message>
        <source>the chat server's certificate is not trusted</source>
        <translation>チャットサーバーの証明書が信頼されていません</translation>
    </message>
    <message>
        <source>the chat server does not offer encryption</source>
        <translation>チャットサーバーが暗号化に対応していません</translation>
    </message>
    <message>
        <source>You were removed from the room: you are no longer a member</source>
        <translation>ルームから退出させられました: メンバーではなくなりました</translation>
    </message>
    <message>
        <source>You were removed from the room: it is now for members only</source>
        <translation>ルームから退出させられました: ルームがメンバー専用になりました</translation>
    </message>
    <message>
        <source>You were removed from the room: the chat room service is shutting down</source>
        <translation>ルームから退出させられました: チャットルームのサービスが停止します</translation>
    </message>
    <message>
        <source>You were removed from the room</source>
        <translation>ルームから退出させられました</translation>
    </message>
</context>
<context>
    <name>GameWindow</name>
    <message>
        <source>This tournament has been removed</source>
        <translation>このトーナメントは削除されました</translation>
    </message>
</context>
<context>
    <name>TournamentsController</name>
    <message>
        <source>Join tournament</source>
        <translation>トーナメントに参加</translation>
    </message>
    <message>
        <source>The server did not answer the registration; try again</source>
        <translation>サーバーが登録に応答しませんでした。もう一度お試しください</translation>
    </message>
    <message>
        <source>Unregister from tournament</source>
        <translation>トーナメントの登録取消</translation>
    </message>
    <message>
        <source>The server did not answer the unregistration; try again</source>
        <translation>サーバーが登録取消に応答しませんでした。もう一度お試しください</translation>
    </message>
    <message>
        <source>Leave tournament</source>
        <translation>トーナメントから退出</translation>
    </message>
    <message>
        <source>The server did not answer the request to leave; try again</source>
        <translation>サーバーが退出の要求に応答しませんでした。もう一度お試しください</translation>
    </message>
</context>
</TS>
