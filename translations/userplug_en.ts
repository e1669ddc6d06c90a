<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Quillon</name>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>新規追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>カラー変更</source>
        <translation>Change Colours</translation>
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
        <source>オブジェクトを追加します
新規追加</source>
        <translation>Add an object
Add</translation>
    </message>
    <message>
        <source>選択したオブジェクトを削除します
削除</source>
        <translation>Delete the selected objects
Delete</translation>
    </message>
    <message>
        <source>ユーザ定義情報</source>
        <translation>User-defined Objects</translation>
    </message>
    <message>
        <source>自由にカスタマイズしたMIB情報を取得します</source>
        <translation>Reads MIB objects of your own choice</translation>
    </message>
    <message>
        <source>ユーザ定義オブジェクト識別子</source>
        <translation>User-defined Object</translation>
    </message>
    <message>
        <source>追加するオブジェクト識別子</source>
        <translation>Object identifier to add</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>オブジェクト識別子を入力してください。</source>
        <translation>Enter an object identifier.</translation>
    </message>
    <message>
        <source>MIB定義に登録されていない文字が指定されていたので、入力しなおしてください。</source>
        <translation>The text names nothing in the MIB definitions. Please enter it again.</translation>
    </message>
    <message>
        <source>エレメント「Quillon」がありません</source>
        <translation>The element &quot;Quillon&quot; is missing</translation>
    </message>
    <message>
        <source>エレメント「UserMIB」がありません</source>
        <translation>The element &quot;UserMIB&quot; is missing</translation>
    </message>
    <message>
        <source>オブジェクト識別子の書き方に問題がありました。</source>
        <translation>An object identifier is badly written.</translation>
    </message>
    <message>
        <source>ファイルの次の値は使えませんでした。</source>
        <translation>These values of the file could not be used.</translation>
    </message>
    <message>
        <source>TimeId「%1」はタイマーの選択肢にないので、使いませんでした。</source>
        <translation>TimeId &quot;%1&quot; is not one of the timer choices; it was not used.</translation>
    </message>
    <message>
        <source>HistoryNum「%1」は最初のOidより後にあるので、使いませんでした。</source>
        <translation>HistoryNum &quot;%1&quot; comes after the first Oid; it was not used.</translation>
    </message>
    <message>
        <source>HistoryNum「%1」は%2から%3の範囲にないので、使いませんでした。</source>
        <translation>HistoryNum &quot;%1&quot; is not between %2 and %3; it was not used.</translation>
    </message>
    <message>
        <source>「%1」の線（OidPen）は選べる線種と太さに直しました。</source>
        <translation>The line (OidPen) of &quot;%1&quot; was changed to a style and width that can be chosen.</translation>
    </message>
</context>
</TS>
