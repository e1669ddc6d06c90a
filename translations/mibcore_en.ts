<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Quillon</name>
    <message>
        <source>エラーなし</source>
        <translation>No error</translation>
    </message>
    <message>
        <source>fooBig-PDUのサイズが大きすぎます</source>
        <translation>fooBig - the PDU is too big</translation>
    </message>
    <message>
        <source>noSuchName-指定のオブジェクトがありません</source>
        <translation>noSuchName - no such object</translation>
    </message>
    <message>
        <source>badValue-指定の値が不正です</source>
        <translation>badValue - the value is invalid</translation>
    </message>
    <message>
        <source>readOnly-書き込みできませんでした</source>
        <translation>readOnly - could not be written</translation>
    </message>
    <message>
        <source>genErr-一般的なエラー</source>
        <translation>genErr - general error</translation>
    </message>
    <message>
        <source>SNMPカウンター初期化</source>
        <translation>SNMP counter initialised</translation>
    </message>
    <message>
        <source>SNMPバッファーエラー</source>
        <translation>SNMP buffer error</translation>
    </message>
    <message>
        <source>SNMPエージェントのアドレスが指定されていません</source>
        <translation>No SNMP agent address is set</translation>
    </message>
    <message>
        <source>SNMPエージェントアドレスの指定が不正です</source>
        <translation>The SNMP agent address is invalid</translation>
    </message>
    <message>
        <source>SNMP送信時にエラーが発生しました</source>
        <translation>Error while sending the SNMP request</translation>
    </message>
    <message>
        <source>SNMP受信タイムアウトが発生しました</source>
        <translation>SNMP receive time-out</translation>
    </message>
    <message>
        <source>SNMP枝葉が違うオブジェクトを取得しました</source>
        <translation>SNMP reply for an object outside the subtree</translation>
    </message>
    <message>
        <source>SNMP送信もしくは受信エラーが多発したためデータを取得しませんでした</source>
        <translation>Too many SNMP send or receive errors; no data was read</translation>
    </message>
    <message>
        <source>noAccess-アクセスできないオブジェクトです</source>
        <translation>noAccess - the object cannot be accessed</translation>
    </message>
    <message>
        <source>wrongType-値の型が不正です</source>
        <translation>wrongType - the value has the wrong type</translation>
    </message>
    <message>
        <source>wrongLength-値の長さが不正です</source>
        <translation>wrongLength - the value has the wrong length</translation>
    </message>
    <message>
        <source>wrongEncoding-値の符号化が不正です</source>
        <translation>wrongEncoding - the value is wrongly encoded</translation>
    </message>
    <message>
        <source>wrongValue-指定の値は設定できません</source>
        <translation>wrongValue - the value cannot be set</translation>
    </message>
    <message>
        <source>noCreation-オブジェクトを作成できません</source>
        <translation>noCreation - the object cannot be created</translation>
    </message>
    <message>
        <source>inconsistentValue-現在は指定の値を設定できません</source>
        <translation>inconsistentValue - the value cannot be set now</translation>
    </message>
    <message>
        <source>resourceUnavailable-エージェントの資源が足りません</source>
        <translation>resourceUnavailable - the agent lacks resources</translation>
    </message>
    <message>
        <source>commitFailed-設定を反映できませんでした</source>
        <translation>commitFailed - the setting could not be applied</translation>
    </message>
    <message>
        <source>undoFailed-設定を元に戻せませんでした</source>
        <translation>undoFailed - the setting could not be undone</translation>
    </message>
    <message>
        <source>authorizationError-許可されていない要求です</source>
        <translation>authorizationError - the request is not authorised</translation>
    </message>
    <message>
        <source>notWritable-書き込みできないオブジェクトです</source>
        <translation>notWritable - the object is not writable</translation>
    </message>
    <message>
        <source>inconsistentName-現在は指定のオブジェクトを作成できません</source>
        <translation>inconsistentName - the object cannot be created now</translation>
    </message>
    <message>
        <source>unknownUserName-SNMPv3ユーザー名がエージェントにありません</source>
        <translation>unknownUserName - the agent does not know this SNMPv3 user</translation>
    </message>
    <message>
        <source>unsupportedSecLevel-このユーザーはこのセキュリティレベルを使えません</source>
        <translation>unsupportedSecLevel - this user cannot use this security level</translation>
    </message>
    <message>
        <source>wrongDigest-認証に失敗しました(認証パスフレーズが違います)</source>
        <translation>wrongDigest - authentication failed (wrong authentication passphrase)</translation>
    </message>
    <message>
        <source>decryptionError-復号に失敗しました(プライバシーパスフレーズが違います)</source>
        <translation>decryptionError - decryption failed (wrong privacy passphrase)</translation>
    </message>
    <message>
        <source>unknownEngineID-エージェントのエンジンIDを確認できません</source>
        <translation>unknownEngineID - the agent&apos;s engine ID could not be confirmed</translation>
    </message>
    <message>
        <source>notInTimeWindow-エージェントと時刻を同期できません</source>
        <translation>notInTimeWindow - could not synchronise time with the agent</translation>
    </message>
    <message>
        <source>SNMP受信タイムアウトが発生しました(プライバシーパスフレーズが違う可能性があります)</source>
        <translation>SNMP receive time-out (the privacy passphrase may be wrong)</translation>
    </message>
    <message>
        <source>SNMPv3の鍵がありません(エージェントの設定でパスフレーズを入力してください)</source>
        <translation>No SNMPv3 keys (enter the passphrases in the agent settings)</translation>
    </message>
    <message>
        <source>SNMPv3の要求がエージェントに拒否されました(report)</source>
        <translation>The agent refused the SNMPv3 request (report)</translation>
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
        <source>設定</source>
        <translation>Settings</translation>
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
        <source>カラー変更
カラー変更</source>
        <translation>Change the graph&apos;s colours
Change Colours</translation>
    </message>
    <message>
        <source>socketエラー</source>
        <translation>Socket error</translation>
    </message>
    <message>
        <source>bind IPv4エラー</source>
        <translation>IPv4 bind error</translation>
    </message>
    <message>
        <source>bind IPv6エラー</source>
        <translation>IPv6 bind error</translation>
    </message>
    <message>
        <source>親MIBオブジェクト[%1]が見つからなかったのでMIBオブジェクト[%2]を追加できませんでした。
問題のMIBオブジェクトは、%3にあります。
ファイルの中身に問題がなければ、%4までお問い合わせください。
この後、発生するエラーも表示しますか？</source>
        <translation>The MIB object [%2] could not be added because its parent MIB object [%1] was not found.
The object is defined in %3.
If the file looks correct, please contact %4.
Show the errors that follow as well?</translation>
    </message>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>空のドキュメントを作成できませんでした。</source>
        <translation>Could not create an empty document.</translation>
    </message>
    <message>
        <source>すべてのファイル (*.*)</source>
        <translation>All Files (*.*)</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>%1 は既に存在します。
上書きしますか？</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>%1 を作成できませんでした。</source>
        <translation>Could not create %1.</translation>
    </message>
    <message>
        <source>実線</source>
        <translation>Solid</translation>
    </message>
    <message>
        <source>破線</source>
        <translation>Dash</translation>
    </message>
    <message>
        <source>点線</source>
        <translation>Dot</translation>
    </message>
    <message>
        <source>一点破線</source>
        <translation>Dash-dot</translation>
    </message>
    <message>
        <source>二点破線</source>
        <translation>Dash-dot-dot</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>線種の選択</source>
        <translation>Line Style</translation>
    </message>
    <message>
        <source>色の選択</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>線のスタイル</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>線の太さ</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>見つかりませんでした。先頭から探しますか？</source>
        <translation>Not found. Search again from the top?</translation>
    </message>
    <message>
        <source>検索ダイアログ</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>検索する文字列</source>
        <translation>Find what</translation>
    </message>
    <message>
        <source>次を検索</source>
        <translation>Find Next</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
</TS>
