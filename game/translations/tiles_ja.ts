<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>TileGraphics</name>
    <message>
        <source>Bamboo</source>
        <translation>竹</translation>
    </message>
    <message>
        <source>Green 1</source>
        <translation>グリーン 1</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>レッド</translation>
    </message>
    <message>
        <source>Green 2</source>
        <translation>グリーン 2</translation>
    </message>
    <message>
        <source>Dark wood</source>
        <translation>ダークウッド</translation>
    </message>
    <message>
        <source>Numbered</source>
        <translation>数字入り</translation>
    </message>
    <message>
        <source>Mixed numbered</source>
        <translation>一部数字入り</translation>
    </message>
    <message>
        <source>Without numbers</source>
        <translation>数字なし</translation>
    </message>
    <message>
        <source>Rustic numbered</source>
        <translation>素朴な数字入り</translation>
    </message>
</context>
</TS>
