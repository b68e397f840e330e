<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>PlayerWidget</name>
    <message numerus="yes">
        <source>%nwins</source>
        <comment>don't include %n in translation, only used to get correct noun form</comment>
        <translation>
            <numerusform>win</numerusform>
            <numerusform>wins</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%npts</source>
        <comment>don't include %n in translation, only used to get correct noun form</comment>
        <translation>
            <numerusform>pt</numerusform>
            <numerusform>pts</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WaitingForPlayersWindow</name>
    <message numerus="yes">
        <source>Waiting for %n player(s) to join table.</source>
        <translation>
            <numerusform>Waiting for %n player to join table.</numerusform>
            <numerusform>Waiting for %n players to join table.</numerusform>
        </translation>
    </message>
</context>
</TS>
