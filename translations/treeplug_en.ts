<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Quillon</name>
    <message>
        <source>MIBツリー</source>
        <translation>MIB Tree</translation>
    </message>
    <message>
        <source>接続先のMIBツリー情報を表示します。</source>
        <translation>Shows the agent&apos;s MIB tree.</translation>
    </message>
    <message>
        <source>
Tree
Tree
テキスト ファイル(*.csv)
.csv
Tree.Document
Tree Document</source>
        <translation>
Tree
Tree
Text files (*.csv)
.csv
Tree.Document
Tree Document</translation>
    </message>
    <message>
        <source>MIB情報の取得を開始します
取得開始</source>
        <translation>Start reading the MIB
Start</translation>
    </message>
    <message>
        <source>MIB情報の取得を中止します
取得中止</source>
        <translation>Stop reading the MIB
Stop</translation>
    </message>
    <message>
        <source>MIBツリーのオプションを設定します
オプション</source>
        <translation>Set the MIB tree options
Options</translation>
    </message>
    <message>
        <source>アイテム数：%d</source>
        <translation>Items: %d</translation>
    </message>
    <message>
        <source>MIBツリーオプション</source>
        <translation>MIB Tree Options</translation>
    </message>
    <message>
        <source>MIB情報取得時の接頭語</source>
        <translation>Prefix for reading the MIB</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>「%1」はMIB定義の名前でもOIDでもありません。</source>
        <translation>&quot;%1&quot; is neither a MIB name nor an OID.</translation>
    </message>
    <message>
        <source>コピーするアイテムを選択してください。</source>
        <translation>Select the items to copy.</translation>
    </message>
    <message>
        <source>インスタンス識別子</source>
        <translation>Instance</translation>
    </message>
    <message>
        <source>値</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>タイプ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>オブジェクト識別子</source>
        <translation>Object</translation>
    </message>
    <message>
        <source>インスタンス数が上限の%1件に達したため、取得を終了しました。</source>
        <translation>Reading stopped at the limit of %1 instances.</translation>
    </message>
    <message>
        <source>オブジェクト識別子が長すぎるため、次の要求を送れません。</source>
        <translation>The object identifier is too long to send the next request.</translation>
    </message>
</context>
</TS>
