<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>AvatarDialog</name>
    <message>
        <source>Choose avatar</source>
        <translation>アバターを選択</translation>
    </message>
    <message>
        <source>Avatar images can only be 64x64 pixels (will be scaled down if larger)</source>
        <translation>アバター画像は 64x64 ピクセルまでです（大きい画像は縮小されます）</translation>
    </message>
    <message>
        <source>Custom...</source>
        <translation>カスタム...</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Locate Avatar Image</source>
        <translation>アバター画像を探す</translation>
    </message>
    <message>
        <source>Image files</source>
        <translation>画像ファイル</translation>
    </message>
    <message>
        <source>The file %1 is unreadable</source>
        <translation>ファイル %1 を読み込めません</translation>
    </message>
    <message>
        <source>The file %1 is an invalid image</source>
        <translation>ファイル %1 は有効な画像ではありません</translation>
    </message>
    <message>
        <source>The file %1 is too large</source>
        <translation>ファイル %1 は大きすぎます</translation>
    </message>
    <message>
        <source>Failed to change avatar</source>
        <translation>アバターを変更できませんでした</translation>
    </message>
</context>
<context>
    <name>FriendDetailView</name>
    <message>
        <source>Friend Details</source>
        <translation>フレンドの詳細</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Player is seated at:</source>
        <translation>着席中のテーブル：</translation>
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
    <name>FriendDetailWindow</name>
    <message>
        <source>Friend details for %1</source>
        <translation>%1 の詳細</translation>
    </message>
    <message>
        <source>%1 with status &quot;%2&quot;</source>
        <extracomment>%1 is availability type, %2 is user status message</extracomment>
        <translation>%1（ステータス「%2」）</translation>
    </message>
    <message>
        <source>Which table? Click one of the tables first.</source>
        <translation>どのテーブルですか？先にテーブルをクリックしてください。</translation>
    </message>
</context>
<context>
    <name>FriendSearchView</name>
    <message>
        <source>Friend search results</source>
        <translation>フレンド検索の結果</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>Add to friends</source>
        <translation>フレンドに追加</translation>
    </message>
</context>
<context>
    <name>FriendSearchWindow</name>
    <message>
        <source>Add to friends</source>
        <translation>フレンドに追加</translation>
    </message>
    <message>
        <source>Add item to friends list</source>
        <translation>この項目をフレンドリストに追加</translation>
    </message>
    <message>
        <source>User</source>
        <translation>ユーザー</translation>
    </message>
    <message>
        <source>Search error</source>
        <translation>検索エラー</translation>
    </message>
    <message>
        <source>This search service cannot search by name</source>
        <translation>この検索サービスでは名前で検索できません</translation>
    </message>
    <message>
        <source>Chat is offline until the next login</source>
        <translation>次にログインするまでチャットはオフラインです</translation>
    </message>
    <message numerus="yes">
        <source>%Ln user(s) found</source>
        <translation>
            <numerusform>%Ln 人のユーザーが見つかりました</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FriendsRosterModel</name>
    <message>
        <source>not available</source>
        <translation>不在</translation>
    </message>
    <message>
        <source>online</source>
        <translation>オンライン</translation>
    </message>
    <message>
        <source>away</source>
        <translation>離席中</translation>
    </message>
    <message>
        <source>talkative</source>
        <translation>おしゃべり中</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>取り込み中</translation>
    </message>
    <message>
        <source>&lt;unknown availability&gt;</source>
        <translation>&lt;不明な状態&gt;</translation>
    </message>
    <message>
        <source>%1 is %2 with status &quot;%3&quot;</source>
        <extracomment>%1 is friend name, %2 is availability type, %3 is user status message</extracomment>
        <translation>%1 は%2です（ステータス「%3」）</translation>
    </message>
    <message>
        <source>%1 is %2</source>
        <extracomment>%1 is friend name, %2 is availability type</extracomment>
        <translation>%1 は%2です</translation>
    </message>
</context>
<context>
    <name>FriendsView</name>
    <message>
        <source>Add friends and see when they are online!</source>
        <translation>フレンドを追加して、オンラインかどうかを確認しましょう！</translation>
    </message>
    <message>
        <source>Friends</source>
        <translation>フレンド</translation>
    </message>
    <message>
        <source>Find friend</source>
        <translation>フレンドを探す</translation>
    </message>
    <message>
        <source>Friend Details</source>
        <translation>フレンドの詳細</translation>
    </message>
</context>
<context>
    <name>FriendsWindow</name>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Remove user from list</source>
        <translation>このユーザーをリストから削除</translation>
    </message>
</context>
</TS>
