<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh">
<context>
    <name>TileGraphics</name>
    <message>
        <source>Bamboo</source>
        <translation>竹</translation>
    </message>
    <message>
        <source>Green 1</source>
        <translation>绿色 1</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message>
        <source>Green 2</source>
        <translation>绿色 2</translation>
    </message>
    <message>
        <source>Dark wood</source>
        <translation>深色木纹</translation>
    </message>
    <message>
        <source>Numbered</source>
        <translation>带数字</translation>
    </message>
    <message>
        <source>Mixed numbered</source>
        <translation>部分带数字</translation>
    </message>
    <message>
        <source>Without numbers</source>
        <translation>无数字</translation>
    </message>
    <message>
        <source>Rustic numbered</source>
        <translation>古朴带数字</translation>
    </message>
</context>
</TS>
