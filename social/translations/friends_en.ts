<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>FriendSearchWindow</name>
    <message numerus="yes">
        <source>%Ln user(s) found</source>
        <translation>
            <numerusform>%Ln user found</numerusform>
            <numerusform>%Ln users found</numerusform>
        </translation>
    </message>
</context>
</TS>
