<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Quillon</name>
    <message>
        <source>言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>デスクトップの言語</source>
        <translation>Desktop language</translation>
    </message>
    <message>
        <source>アイコンの整列(&amp;I)</source>
        <translation>Arrange &amp;Icons</translation>
    </message>
    <message>
        <source>名前順(&amp;N)</source>
        <translation>By &amp;Name</translation>
    </message>
    <message>
        <source>アイコンの自動整列(&amp;A)</source>
        <translation>&amp;Auto Arrange</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規作成	Ctrl+N(&amp;N)</source>
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <source>開く...	Ctrl+O(&amp;O)</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>最近使ったファイル</source>
        <translation>Recent File</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>アプリケーションの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ツール バー(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>ステータス バー(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>大きいアイコン(&amp;G)</source>
        <translation>Lar&amp;ge Icons</translation>
    </message>
    <message>
        <source>小さいアイコン(&amp;M)</source>
        <translation>S&amp;mall Icons</translation>
    </message>
    <message>
        <source>一覧(&amp;L)</source>
        <translation>&amp;List</translation>
    </message>
    <message>
        <source>詳細(&amp;D)</source>
        <translation>&amp;Details</translation>
    </message>
    <message>
        <source>等間隔に整列(&amp;E)</source>
        <translation>Lin&amp;e Up Icons</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>バージョン情報 Quillon(&amp;A)...</source>
        <translation>&amp;About Quillon...</translation>
    </message>
    <message>
        <source>タイマー変更</source>
        <translation>Change Timer</translation>
    </message>
    <message>
        <source>5秒</source>
        <translation>5 seconds</translation>
    </message>
    <message>
        <source>15秒</source>
        <translation>15 seconds</translation>
    </message>
    <message>
        <source>30秒</source>
        <translation>30 seconds</translation>
    </message>
    <message>
        <source>1分</source>
        <translation>1 minute</translation>
    </message>
    <message>
        <source>5分</source>
        <translation>5 minutes</translation>
    </message>
    <message>
        <source>ファイルへ保存</source>
        <translation>Save to File</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>エージェントの設定</source>
        <translation>Agent Settings</translation>
    </message>
    <message>
        <source>カラー変更</source>
        <translation>Change Colours</translation>
    </message>
    <message>
        <source>ウィンドウ(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>重ねて表示(&amp;C)</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <source>並べて表示(&amp;T)</source>
        <translation>&amp;Tile</translation>
    </message>
    <message>
        <source>アイコンの整列(&amp;A)</source>
        <translation>&amp;Arrange Icons</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>MIB定義</source>
        <translation>MIB Definitions</translation>
    </message>
    <message>
        <source>ドキュメントをロードする
ドキュメントのロード</source>
        <translation>Load a document
Load Document</translation>
    </message>
    <message>
        <source>ドキュメントを保存する
ドキュメント保存</source>
        <translation>Save the document
Save Document</translation>
    </message>
    <message>
        <source>ファイルへ保存
保存</source>
        <translation>Save to file
Save</translation>
    </message>
    <message>
        <source>エージェントの設定
エージェントの設定</source>
        <translation>Change the agent settings
Agent Settings</translation>
    </message>
    <message>
        <source>カラー変更
カラー変更</source>
        <translation>Change the graph&apos;s colours
Change Colours</translation>
    </message>
    <message>
        <source>新規にファイルを作成
新規ファイル</source>
        <translation>Create a new file
New File</translation>
    </message>
    <message>
        <source>既存のファイルを開く
開く</source>
        <translation>Open an existing file
Open</translation>
    </message>
    <message>
        <source>作業中のファイルを閉じる
閉じる</source>
        <translation>Close the active file
Close</translation>
    </message>
    <message>
        <source>このファイルを開く
最近使ったファイル</source>
        <translation>Open this file
Recent File</translation>
    </message>
    <message>
        <source>アプリケーションを終了し、ファイルの保存を指示
終了</source>
        <translation>Quit the application; prompts to save files
Exit</translation>
    </message>
    <message>
        <source>プログラム情報、バージョン、著作権を表示
バージョン情報</source>
        <translation>Display program information, version number and copyright
About</translation>
    </message>
    <message>
        <source>ヘルプ トピックの一覧を表示
ヘルプ</source>
        <translation>List help topics
Help</translation>
    </message>
    <message>
        <source>ツール バーの表示/非表示
ツール バーの表示/非表示</source>
        <translation>Show or hide the toolbar
Toggle Toolbar</translation>
    </message>
    <message>
        <source>ステータス バーの表示/非表示
ステータス バーの表示/非表示</source>
        <translation>Show or hide the status bar
Toggle Status Bar</translation>
    </message>
    <message>
        <source>大きいアイコンで表示
大きいアイコン</source>
        <translation>Display items with large icons
Large Icons</translation>
    </message>
    <message>
        <source>小さいアイコンで表示
小さいアイコン</source>
        <translation>Display items with small icons
Small Icons</translation>
    </message>
    <message>
        <source>一覧で表示
一覧</source>
        <translation>Display items in a list
List</translation>
    </message>
    <message>
        <source>詳細を表示
詳細</source>
        <translation>Display details of each item
Details</translation>
    </message>
    <message>
        <source>アイコンを名前順に整列
名前順</source>
        <translation>Sort icons by name
By Name</translation>
    </message>
    <message>
        <source>アイコンを自動的に整列
自動整列</source>
        <translation>Arrange icons automatically
Auto Arrange</translation>
    </message>
    <message>
        <source>アイコンを等間隔に整列
等間隔に整列</source>
        <translation>Line up icons on the grid
Line Up Icons</translation>
    </message>
    <message>
        <source>ウィンドウを重ねて表示
重ねて表示</source>
        <translation>Arrange windows so they overlap
Cascade Windows</translation>
    </message>
    <message>
        <source>ウィンドウを並べて表示
並べて表示</source>
        <translation>Arrange windows as non-overlapping tiles
Tile Windows</translation>
    </message>
    <message>
        <source>ウィンドウの下部にアイコンを整列
アイコンの整列</source>
        <translation>Arrange icons at the bottom of the window
Arrange Icons</translation>
    </message>
    <message>
        <source>次回の起動から日本語で表示
日本語</source>
        <translation>Show the program in Japanese from the next start
Japanese</translation>
    </message>
    <message>
        <source>次回の起動から英語で表示
English</source>
        <translation>Show the program in English from the next start
English</translation>
    </message>
    <message>
        <source>次回の起動からデスクトップの言語で表示
デスクトップの言語</source>
        <translation>Show the program in the desktop&apos;s language from the next start
Desktop language</translation>
    </message>
    <message>
        <source>ポーリング間隔の変更
タイマー変更</source>
        <translation>Change the polling interval
Change Timer</translation>
    </message>
    <message>
        <source>バージョン情報 Quillon</source>
        <translation>About Quillon</translation>
    </message>
    <message>
        <source>お問合せ先</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>ホームページ</source>
        <translation>Home page</translation>
    </message>
    <message>
        <source>正しいエージェントのIPアドレスを入力してください。</source>
        <translation>Enter the agent&apos;s correct IP address.</translation>
    </message>
    <message>
        <source>エージェントと通信できません。正しいエージェントのIPアドレスを入力してください。</source>
        <translation>Cannot communicate with the agent. Enter the agent&apos;s correct IP address.</translation>
    </message>
    <message>
        <source>プロファイル用ディレクトリの作成に失敗しました。</source>
        <translation>Could not create the settings folder.</translation>
    </message>
    <message>
        <source>SNMPの設定</source>
        <translation>SNMP Settings</translation>
    </message>
    <message>
        <source>エージェントのIPアドレス</source>
        <translation>Agent IP Address</translation>
    </message>
    <message>
        <source>IPv4アドレス</source>
        <translation>IPv4 address</translation>
    </message>
    <message>
        <source>IPv6アドレス</source>
        <translation>IPv6 address</translation>
    </message>
    <message>
        <source>SNMPバージョン</source>
        <translation>SNMP version</translation>
    </message>
    <message>
        <source>SNMPv3 ユーザー</source>
        <translation>SNMPv3 User</translation>
    </message>
    <message>
        <source>ユーザー名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>セキュリティレベル</source>
        <translation>Security level</translation>
    </message>
    <message>
        <source>認証プロトコル</source>
        <translation>Authentication protocol</translation>
    </message>
    <message>
        <source>認証パスフレーズ</source>
        <translation>Authentication passphrase</translation>
    </message>
    <message>
        <source>暗号化プロトコル</source>
        <translation>Privacy protocol</translation>
    </message>
    <message>
        <source>暗号化パスフレーズ</source>
        <translation>Privacy passphrase</translation>
    </message>
    <message>
        <source>コンテキスト名</source>
        <translation>Context name</translation>
    </message>
    <message>
        <source>通信オプション</source>
        <translation>Communication Options</translation>
    </message>
    <message>
        <source>再送回数</source>
        <translation>Retries</translation>
    </message>
    <message>
        <source>許容タイムアウト回数</source>
        <translation>Time-outs allowed</translation>
    </message>
    <message>
        <source>タイムアウト時間(usec)</source>
        <translation>Time-out (µs)</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>設定ファイルに書き込めませんでした。
</source>
        <translation>Could not write the settings file.
</translation>
    </message>
    <message>
        <source>SNMPv3のユーザー名を入力してください。</source>
        <translation>Enter the SNMPv3 user name.</translation>
    </message>
    <message>
        <source>認証パスフレーズは8文字以上で入力してください。</source>
        <translation>The authentication passphrase must be at least 8 characters long.</translation>
    </message>
    <message>
        <source>暗号化パスフレーズは8文字以上で入力してください。</source>
        <translation>The privacy passphrase must be at least 8 characters long.</translation>
    </message>
    <message>
        <source>%sは 0 から %lld までの数を入力してください。</source>
        <translation>%s: enter a number from 0 to %lld.</translation>
    </message>
    <message>
        <source>エージェントと通信できません。
</source>
        <translation>Cannot communicate with the agent.
</translation>
    </message>
    <message>
        <source>表示言語の変更は次回の起動から有効になります。</source>
        <translation>The new display language takes effect from the next start.</translation>
    </message>
    <message>
        <source>ツール バー</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>レディ</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Quillon ヘルプ</source>
        <translation>Quillon Help</translation>
    </message>
    <message>
        <source>コピーするアイテムを選択してください。</source>
        <translation>Select the items to copy.</translation>
    </message>
    <message>
        <source>MIBツリー</source>
        <translation>MIB Tree</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Find...</translation>
    </message>
    <message>
        <source>オブジェクト識別子(数値)をコピー</source>
        <translation>Copy Object Identifier (Numeric)</translation>
    </message>
    <message>
        <source>オブジェクト識別子(文字)をコピー</source>
        <translation>Copy Object Identifier (Names)</translation>
    </message>
    <message>
        <source>すべてのファイル (*.*)|*.*||</source>
        <translation>All Files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>メニュー一覧</source>
        <translation>Menu List</translation>
    </message>
    <message>
        <source>サービス</source>
        <translation>Service</translation>
    </message>
    <message>
        <source>説明</source>
        <translation>Description</translation>
    </message>
</context>
</TS>
