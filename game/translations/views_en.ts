<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>SeatedWindow</name>
    <message numerus="yes">
        <source>You will automatically be unseated from this table in %Ln second(s)</source>
        <translation>
            <numerusform>You will automatically be unseated from this table in %Ln second</numerusform>
            <numerusform>You will automatically be unseated from this table in %Ln seconds</numerusform>
        </translation>
    </message>
</context>
</TS>
