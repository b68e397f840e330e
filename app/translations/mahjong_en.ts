<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>BridgedWebPage</name>
    <message>
        <source>The page says</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The page at %1 says</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConnectionManager</name>
    <message>
        <source>Unable to establish secure connection to server</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Connection to port %1 on host %2 refused, retry?</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Host %1 not found, retry?</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Network error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Denied</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Already Seated</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Plain string</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Forbidden</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>User name already in use</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>User name invalid</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Password invalid</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Email already in use</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Email invalid</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Not registered</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Tournament finished</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Registration not closed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Invalid state</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>EmbeddedBrowser</name>
    <message>
        <source>%p%</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Secure connection</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Insecure connection</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>EmbeddedView</name>
    <message>
        <source>TextLabel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Players with the highest accumulated scores.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>Mahjong</name>
    <message>
        <source>Green Dragon</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Red Dragon</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>White Dragon</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>East Wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>South Wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>West Wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>North Wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Spring</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Summer</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Autumn</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Winter</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Plum blossom</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Orchid</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Chrysanthemum</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bamboo</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Character</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Circle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Season and number, e.g. Winter 2</comment>
        <extracomment>Season and number, e.g. Winter 2</extracomment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Flower and number, e.g. Orchid 3</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 %L2</source>
        <comment>Suit and number, e.g. Bamboo 7</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>East</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>South</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>West</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>North</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Prevalent wind: East</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Prevalent wind: South</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Prevalent wind: West</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Prevalent wind: North</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MahjongApplication</name>
    <message>
        <source>Error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1
Please send the log file '%2' to </source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> with a description of what happened.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Invalid server data.
Refused with message: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Unhandled Runtime Error.
Error text: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Unhandled Runtime Error.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Application Started</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The application is already started in another window!</source>
        <translation type="unfinished" />
    </message>
    <message numerus="yes">
        <source>%Ln day(s)</source>
        <translation><numerusform>%Ln day</numerusform><numerusform>%Ln days</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Lnh</source>
        <translation><numerusform>%Lnh</numerusform><numerusform>%Lnh</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Ln min(s)</source>
        <translation><numerusform>%Ln min</numerusform><numerusform>%Ln mins</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%Ln second(s)</source>
        <translation><numerusform>%Ln second</numerusform><numerusform>%Ln seconds</numerusform></translation>
    </message>
</context>
<context>
    <name>MahjongDialog</name>
    <message>
        <source>Form</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>InstallerFetch</name>
    <message>
        <source>this system cannot make secure connections</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Operation canceled</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Connection closed</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the server's answer is malformed</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>NewVersionDialog</name>
    <message>
        <source>New version available</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Click here to download new version!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Continue</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Download error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>The new version is offered at %1, which is neither a secure address nor the update server. It was not downloaded.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Unable to open file %1: %2.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Client download</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Download failed: %1 %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Unable to write file %1: %2.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Download failed: %1.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Install error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Couldn't start the installer!</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>Scores</name>
    <message>
        <source>Bonus</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Going mahjong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kong of simples</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kong of terminals</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kong of honors</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Concealed kong of simples</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Concealed kong of terminals</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Concealed kong of honors</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pong of simples</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pong of terminals</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pong of honors</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Concealed pong of simples</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Concealed pong of terminals</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Concealed pong of honors</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Chow</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pair</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pair of dragons</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pair in own and prevailing wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pair in own wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pair in prevailing wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Filling only place</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Last tile from wall</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Heavens blessing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Earths blessing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Catching the moon from the bottom of the sea</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Gathering plum blossom from the roof</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kong on kong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Thirteen unique wonders</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Wriggly snake</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Imperial jade</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All honors</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Fourfold plenty</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Heads and tails</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Four large blessings special</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Three great scholars special</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Gates of heaven</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Buried treasure</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Chicken hand</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pure double chow</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mixed double chow</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Short straight</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Two terminal chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pong of terminals or honors</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Melded kong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>One voided suit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No honors</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Flower tiles</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Edge wait</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Closed wait</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Single wait</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Self drawn</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dragon pong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Tile hog</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Seat wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Concealed hand</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Double pong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Two concealed pongs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Concealed kong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All simples</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Outside hand</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Fully concealed hand</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Two melded kongs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Last tile</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>One melded one concealed kong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Two dragons</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Melded hand</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All types</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mixed shifted chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Half flush</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All pongs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Two concealed kongs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mixed triple chow</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mixed shifted pungs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Last tile draw</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Last tile claim</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Out with replacement tile</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Reversible tiles</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mixed straight</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Big three winds</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Lower four</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Upper four</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Knitted straight</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Lesser honors and knitted tiles</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pure straight</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Three suited terminal chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pure shifted chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All fives</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Triple pung</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Three concealed pungs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Seven pairs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Greater honors and knitted tiles</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All even pungs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Full flush</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pure triple chow</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pure shifted pungs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Upper tiles</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Middle tiles</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Lower tiles</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Four pure shifted chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Three kongs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All terminals and honors</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quadruple chow</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Four pure shifted pungs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All terminals</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Little four winds</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Little three dragons</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Four concealed pungs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pure terminal chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Big four winds</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Big three dragons</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All green</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Nine gates</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Four kongs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Seven shifted pairs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Thirteen orphans</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Blessing of heaven</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Blessing of earth</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Blessing of man</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pong of dragons</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kong of dragons</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pong in own wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kong in own wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pong in prevaling wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Kong in prevaling wind</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Three lesser scholars</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Three great scholars</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Four little joys</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Four large blessings</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bouqet of flowers</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bouqet of seasons</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bouqet of flowers and seasons</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pair of bonus tiles</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Three concealed pongs</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bottom of the sea</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Winning on the roof</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bottom of the river</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Opening a flower</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>All chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>One suit only</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Major tiles any pair</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Major tiles only</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Clear suit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Robbing the kong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Closed ron</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pinfu</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>After kong</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Riichi</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Ippatsu</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Terminals in all sets</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Twice pure double chows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Yakuman</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Daburu riichi</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dora</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Ura dora</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UNKNOWN SCORE NAME</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>UNKNOWN DOUBLE NAME</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Initializing...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Checking for updates...</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TableCapacity</name>
    <message>
        <source>%L2 of %L3 players seated</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TableInfo</name>
    <message>
        <source>Classic</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>International</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Riichi</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&lt;undefined&gt;</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Single hand</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Tournament</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Full game</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> single hand</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> tournament</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> full game</source>
        <translation type="unfinished" />
    </message>
    <message numerus="yes">
        <source>%Ln second(s)</source>
        <translation><numerusform>%Ln second</numerusform><numerusform>%Ln seconds</numerusform></translation>
    </message>
</context>
<context>
    <name>TableModel</name>
    <message>
        <source>%1
%2
%4 - %3
Buy-in: %5</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Max win: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Place bonus: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Feeding penalty: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Table Name</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rules</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Players</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Time limit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Buy-in</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Max win</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TableValue</name>
    <message>
        <source>buy-in: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>max win: %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>-</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>free</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 + %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 (%2) + %3</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>1st %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>2nd %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>3rd %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>4th %1</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TranslationsManager</name>
    <message>
        <source>English</source>
        <comment>Translated language name, i.e. for a german translation it would be "Deutsch".</comment>
        <translation>English</translation>
    </message>
</context>
<context>
    <name>Utils</name>
    <message>
        <source>...</source>
        <comment>the ellipsis character</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>N/A</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&lt;unknown&gt;</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&lt;undefined&gt;</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>WebSchemes</name>
    <message>
        <source>The program runs as root, and its web pages cannot start as root with the browser sandbox on. Start it as an ordinary user, or set QTWEBENGINE_DISABLE_SANDBOX=1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
