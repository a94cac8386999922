<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AwayQuestionWindow</name>
    <message numerus="yes">
        <source>Away %n time(s) (%1 in all). What was it?</source>
        <translation>
            <numerusform>Away %n time (%1 in all). What was it?</numerusform>
            <numerusform>Away %n times (%1 in all). What was it?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryDatabase</name>
    <message numerus="yes">
        <source>%1, and %n more</source>
        <translation>
            <numerusform>%1, and %n more</numerusform>
            <numerusform>%1, and %n more</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The history %1 could not be used (%2): it was moved to %3 and a new one started, with the %n stretch(es) that could still be read in it.</source>
        <translation>
            <numerusform>The history %1 could not be used (%2): it was moved to %3 and a new one started, with the %n stretch that could still be read in it.</numerusform>
            <numerusform>The history %1 could not be used (%2): it was moved to %3 and a new one started, with the %n stretches that could still be read in it.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message numerus="yes">
        <source>%Ln stretch(es) forgotten.</source>
        <translation>
            <numerusform>%Ln stretch forgotten.</numerusform>
            <numerusform>%Ln stretches forgotten.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message numerus="yes">
        <source>%1 (and %n more: see Edit ▸ Categories…)</source>
        <translation>
            <numerusform>%1 (and %n more: see Edit ▸ Categories…)</numerusform>
            <numerusform>%1 (and %n more: see Edit ▸ Categories…)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PrefWindow</name>
    <message numerus="yes">
        <source>minute(s) without input</source>
        <translation>
            <numerusform>minute without input</numerusform>
            <numerusform>minutes without input</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> minute(s)</source>
        <translation>
            <numerusform> minute</numerusform>
            <numerusform> minutes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ScenarioRunner</name>
    <message numerus="yes">
        <source>%n second(s) of history could not be written: %1</source>
        <translation>
            <numerusform>%n second of history could not be written: %1</numerusform>
            <numerusform>%n seconds of history could not be written: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message numerus="yes">
        <source>data of %Ln byte(s)</source>
        <translation>
            <numerusform>data of %Ln byte</numerusform>
            <numerusform>data of %Ln bytes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The setting %1 holds %n entry(s) that are not text; only its text is used: %2.</source>
        <translation>
            <numerusform>The setting %1 holds an entry that is not text; only its text is used: %2.</numerusform>
            <numerusform>The setting %1 holds %n entries that are not text; only its text is used: %2.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>kestrum</name>
    <message numerus="yes">
        <source>%n second(s) of history could not be written and are lost: %1</source>
        <translation>
            <numerusform>%n second of history could not be written and is lost: %1</numerusform>
            <numerusform>%n seconds of history could not be written and are lost: %1</numerusform>
        </translation>
    </message>
</context>
</TS>
