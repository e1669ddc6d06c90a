<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Quillon</name>
    <message>
        <source>CISCO情報</source>
        <translation>Cisco CPU &amp; Memory</translation>
    </message>
    <message>
        <source>CISCOのCPU&amp;メモリ使用率などを取得します。</source>
        <translation>Reads the CPU and memory usage of Cisco devices.</translation>
    </message>
    <message>
        <source>5秒間のCPU使用率</source>
        <translation>CPU usage (5 s)</translation>
    </message>
    <message>
        <source>1分間のCPU使用率</source>
        <translation>CPU usage (1 min)</translation>
    </message>
    <message>
        <source>5分間のCPU使用率</source>
        <translation>CPU usage (5 min)</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>オブジェクト識別子</source>
        <translation>Object</translation>
    </message>
    <message>
        <source>値</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>エラー内容</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Foundry情報</source>
        <translation>Foundry CPU &amp; Memory</translation>
    </message>
    <message>
        <source>FoudnryのCPU&amp;メモリ使用率などを取得します。</source>
        <translation>Reads the CPU and memory usage of Foundry devices.</translation>
    </message>
    <message>
        <source>1秒間のCPU使用率</source>
        <translation>CPU usage (1 s)</translation>
    </message>
    <message>
        <source>メモリ使用率</source>
        <translation>Memory usage</translation>
    </message>
    <message>
        <source>ICMP情報</source>
        <translation>ICMP Statistics</translation>
    </message>
    <message>
        <source>システムのICMPのインプリメンテーションや実行状況に関する情報を取得します</source>
        <translation>Reads the system&apos;s ICMP implementation and activity</translation>
    </message>
    <message>
        <source>IP情報</source>
        <translation>IP Statistics</translation>
    </message>
    <message>
        <source>システムのIPのインプリメンテーションや実行状況に関する情報を取得します</source>
        <translation>Reads the system&apos;s IP implementation and activity</translation>
    </message>
    <message>
        <source>SNMP情報</source>
        <translation>SNMP Statistics</translation>
    </message>
    <message>
        <source>システムのSNMPのインプリメンテーションや実行状況に関する情報を取得します</source>
        <translation>Reads the system&apos;s SNMP implementation and activity</translation>
    </message>
    <message>
        <source>TCP情報</source>
        <translation>TCP Statistics</translation>
    </message>
    <message>
        <source>システムのTCPのインプリメンテーションや実行状況に関する情報を取得します</source>
        <translation>Reads the system&apos;s TCP implementation and activity</translation>
    </message>
    <message>
        <source>UDP情報</source>
        <translation>UDP Statistics</translation>
    </message>
    <message>
        <source>システムのUDPのインプリメンテーションや実行状況に関する情報を取得します</source>
        <translation>Reads the system&apos;s UDP implementation and activity</translation>
    </message>
</context>
</TS>
