<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Quillon</name>
    <message>
        <source>トラフィック全般</source>
        <translation>All Traffic</translation>
    </message>
    <message>
        <source>etherStatsTable情報</source>
        <translation>etherStatsTable</translation>
    </message>
    <message>
        <source>interfacesメニュー１</source>
        <translation>Interfaces 1</translation>
    </message>
    <message>
        <source>interfacesメニュー２</source>
        <translation>Interfaces 2</translation>
    </message>
    <message>
        <source>interfacesその３</source>
        <translation>Interfaces 3</translation>
    </message>
    <message>
        <source>history情報</source>
        <translation>History</translation>
    </message>
    <message>
        <source>interfaces情報を取得する
interfaces情報を取得</source>
        <translation>Read the interfaces table
Read interfaces</translation>
    </message>
    <message>
        <source>ipAddr情報を取得する
ipAddr情報を取得</source>
        <translation>Read the IP address table
Read ipAddr</translation>
    </message>
    <message>
        <source>ipRoute情報を取得する
ipRoute情報を取得</source>
        <translation>Read the IP route table
Read ipRoute</translation>
    </message>
    <message>
        <source>history情報を取得する
history情報を取得</source>
        <translation>Read the RMON history table
Read history</translation>
    </message>
    <message>
        <source>%1のウィンドウはまだ利用できません。</source>
        <translation>The %1 window is not available yet.</translation>
    </message>
    <message>
        <source>interfaces情報を取得できませんでした。理由は⇒</source>
        <translation>Could not read the interfaces table. Reason: </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1は上限の%2行に達したため、それ以降の行を取得していません。</source>
        <translation>%1 reached the limit of %2 rows; the rows after it were not read.</translation>
    </message>
    <message>
        <source>%1は、%2を取得できません。</source>
        <translation>%2 cannot be read for:
%1</translation>
    </message>
    <message>
        <source>インターフェースのトラフィック情報</source>
        <translation>Interface Traffic</translation>
    </message>
    <message>
        <source>サンプル間隔とサンプル数が同じデータを選択してください。</source>
        <translation>Select entries with the same sample interval and number of samples.</translation>
    </message>
    <message>
        <source>アイテム数：%d</source>
        <translation>Items: %d</translation>
    </message>
    <message>
        <source>ツールバーの作成に失敗しました。１</source>
        <translation>Could not create the tool bar (1).</translation>
    </message>
    <message>
        <source>ツールバーの作成に失敗しました。２</source>
        <translation>Could not create the tool bar (2).</translation>
    </message>
    <message>
        <source>ツールバーの作成に失敗しました。３</source>
        <translation>Could not create the tool bar (3).</translation>
    </message>
    <message>
        <source>エージェントから読み込んでいます...</source>
        <translation>Reading from the agent...</translation>
    </message>
    <message>
        <source>インターフェースで送受信するトラフィック量を表示します</source>
        <translation>Shows the traffic sent and received on interfaces</translation>
    </message>
    <message>
        <source>インターフェース&amp;経路情報</source>
        <translation>Interfaces &amp; Routes</translation>
    </message>
    <message>
        <source>インターフェースおよび経路に関する情報を取得します</source>
        <translation>Reads the interfaces, addresses and routes</translation>
    </message>
    <message>
        <source>statistic(etherStatsTable)情報</source>
        <translation>Statistics (etherStatsTable)</translation>
    </message>
    <message>
        <source>インターフェース名</source>
        <translation>Interface</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>転送能力</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>MACアドレス</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>ステータス</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>送出パケット・キューの長さ</source>
        <translation>Output queue length</translation>
    </message>
    <message>
        <source>ホストアドレス</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>ネットマスク</source>
        <translation>Netmask</translation>
    </message>
    <message>
        <source>ブロードキャストアドレスのLSB値</source>
        <translation>Broadcast address LSB</translation>
    </message>
    <message>
        <source>リアセンブリできるIPデータグラムの最大サイズ</source>
        <translation>Max. reassembly size</translation>
    </message>
    <message>
        <source>目的地のIPアドレス</source>
        <translation>Destination</translation>
    </message>
    <message>
        <source>マスク値</source>
        <translation>Mask</translation>
    </message>
    <message>
        <source>ルートの種類</source>
        <translation>Route type</translation>
    </message>
    <message>
        <source>ルーティング・プロトコル</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>このルートが更新されてからの経過秒数</source>
        <translation>Age (s)</translation>
    </message>
    <message>
        <source>間隔(秒)</source>
        <translation>Interval (s)</translation>
    </message>
    <message>
        <source>サンプル数</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>インターフェース</source>
        <translation>Interface</translation>
    </message>
    <message>
        <source>時刻データの取得に失敗しました。再試行してください。</source>
        <translation>Could not read the time. Please try again.</translation>
    </message>
    <message>
        <source>history情報%1は上限の%2行に達したため、それ以降のサンプルを取得していません。</source>
        <translation>History %1 reached the limit of %2 rows; the samples after it were not read.</translation>
    </message>
    <message>
        <source>エラー内容</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>トラフィック全般
トラフィック全般</source>
        <translation>All Traffic
All Traffic</translation>
    </message>
    <message>
        <source>etherStatsTable情報
etherStatsTable情報</source>
        <translation>etherStatsTable
etherStatsTable</translation>
    </message>
    <message>
        <source>history情報
history情報</source>
        <translation>History
History</translation>
    </message>
</context>
</TS>
