<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AddTimeDialog</name>
    <message>
        <source>Edit Added Time</source>
        <translation>Hinzugefügte Zeit bearbeiten</translation>
    </message>
    <message>
        <source>Add Time</source>
        <translation>Zeit hinzufügen</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Meeting, phone call, workshop…</source>
        <translation>Besprechung, Telefonat, Workshop…</translation>
    </message>
    <message>
        <source>No category</source>
        <translation>Keine Kategorie</translation>
    </message>
    <message>
        <source>Optional</source>
        <translation>Optional</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>Bis:</translation>
    </message>
    <message>
        <source>What:</source>
        <translation>Tätigkeit:</translation>
    </message>
    <message>
        <source>Category:</source>
        <translation>Kategorie:</translation>
    </message>
    <message>
        <source>Note:</source>
        <translation>Notiz:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>The end must come after the start.</source>
        <translation>Das Ende muss nach dem Beginn liegen.</translation>
    </message>
    <message>
        <source>Say what the time was, or choose a category.</source>
        <translation>Geben Sie an, wofür die Zeit war, oder wählen Sie eine Kategorie.</translation>
    </message>
    <message>
        <source>Added time is at most a week long.</source>
        <translation>Hinzugefügte Zeit darf höchstens eine Woche lang sein.</translation>
    </message>
</context>
<context>
    <name>AtomicFile</name>
    <message>
        <source>cannot write &quot;%1&quot;: %2: %3</source>
        <translation>„%1“ kann nicht geschrieben werden: %2: %3</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>ungültiger Dateiname</translation>
    </message>
    <message>
        <source>cannot create a temporary file</source>
        <translation>temporäre Datei kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot set the file mode</source>
        <translation>Zugriffsrechte der Datei können nicht gesetzt werden</translation>
    </message>
    <message>
        <source>write failed</source>
        <translation>Schreiben fehlgeschlagen</translation>
    </message>
    <message>
        <source>flushing to disk failed</source>
        <translation>Schreiben auf den Datenträger fehlgeschlagen</translation>
    </message>
    <message>
        <source>closing failed</source>
        <translation>Schließen fehlgeschlagen</translation>
    </message>
    <message>
        <source>cannot replace the file</source>
        <translation>Datei kann nicht ersetzt werden</translation>
    </message>
    <message>
        <source>written, but cannot open its directory to sync it</source>
        <translation>geschrieben, aber der Ordner kann zum Sichern auf den Datenträger nicht geöffnet werden</translation>
    </message>
    <message>
        <source>written, but syncing its directory failed</source>
        <translation>geschrieben, aber das Sichern des Ordners auf den Datenträger ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>cannot create the folder &quot;%1&quot;: %2</source>
        <translation>Ordner „%1“ kann nicht angelegt werden: %2</translation>
    </message>
</context>
<context>
    <name>AwayNotifier</name>
    <message>
        <source>Answer…</source>
        <translation>Antworten…</translation>
    </message>
    <message>
        <source>Keep as Idle</source>
        <translation>Als Leerlauf behalten</translation>
    </message>
    <message>
        <source>What were you doing?</source>
        <translation>Was haben Sie gemacht?</translation>
    </message>
</context>
<context>
    <name>AwayQuestionWindow</name>
    <message>
        <source>What were you doing?</source>
        <translation>Was haben Sie gemacht?</translation>
    </message>
    <message>
        <source>Stretches of time away</source>
        <translation>Abwesenheitsabschnitte</translation>
    </message>
    <message>
        <source>Meeting, phone call, lunch…</source>
        <translation>Besprechung, Telefonat, Mittagessen…</translation>
    </message>
    <message>
        <source>What it was</source>
        <translation>Was es war</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Keep as Idle</source>
        <translation>Als Leerlauf behalten</translation>
    </message>
    <message>
        <source>Book</source>
        <comment>button: book the time away as what was typed</comment>
        <translation>Buchen</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 Std. %2 Min.</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 Std.</translation>
    </message>
    <message>
        <source>Away from %1 to %2 (%3). What was it?</source>
        <translation>Abwesend von %1 bis %2 (%3). Was war das?</translation>
    </message>
    <message>
        <source>Away from %1 to %2 (%3)</source>
        <translation>Abwesend von %1 bis %2 (%3)</translation>
    </message>
    <message numerus="yes">
        <source>Away %n time(s) (%1 in all). What was it?</source>
        <translation>
            <numerusform>%n-mal abwesend (insgesamt %1). Was war das?</numerusform>
            <numerusform>%n-mal abwesend (insgesamt %1). Was war das?</numerusform>
        </translation>
    </message>
    <message>
        <source>No category</source>
        <translation>Keine Kategorie</translation>
    </message>
</context>
<context>
    <name>BusProbe</name>
    <message>
        <source>an address without a usable path</source>
        <translation>eine Adresse ohne verwendbaren Pfad</translation>
    </message>
    <message>
        <source>it closed the connection</source>
        <translation>er hat die Verbindung geschlossen</translation>
    </message>
    <message>
        <source>it takes the connection but does not answer</source>
        <translation>er nimmt die Verbindung an, antwortet aber nicht</translation>
    </message>
    <message>
        <source>it refuses this user</source>
        <translation>er weist diesen Benutzer ab</translation>
    </message>
</context>
<context>
    <name>CategoriesFile</name>
    <message>
        <source>%1 line %2: %3</source>
        <translation>%1 Zeile %2: %3</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Cannot move the unreadable %1 aside to %2, so it is not overwritten</source>
        <translation>Die unlesbare Datei %1 kann nicht als %2 beiseitegelegt werden und wird daher nicht überschrieben</translation>
    </message>
</context>
<context>
    <name>CategoriesWindow</name>
    <message>
        <source>application</source>
        <comment>a rule looks at the application</comment>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>window</source>
        <comment>a rule looks at the window title</comment>
        <translation>Fenster</translation>
    </message>
    <message>
        <source>either</source>
        <comment>a rule looks at the application or the window title</comment>
        <translation>Anwendung oder Fenster</translation>
    </message>
    <message>
        <source>contains</source>
        <comment>a rule&apos;s pattern is part of the name</comment>
        <translation>enthält</translation>
    </message>
    <message>
        <source>is</source>
        <comment>a rule&apos;s pattern is the whole name</comment>
        <translation>ist</translation>
    </message>
    <message>
        <source>regex</source>
        <comment>a rule&apos;s pattern is a regular expression</comment>
        <translation>regulärer Ausdruck</translation>
    </message>
    <message>
        <source>Categories</source>
        <translation>Kategorien</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Add Category…</source>
        <translation>Kategorie hinzufügen…</translation>
    </message>
    <message>
        <source>Remove Category</source>
        <translation>Kategorie entfernen</translation>
    </message>
    <message>
        <source>Colour…</source>
        <translation>Farbe…</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Feld</translation>
    </message>
    <message>
        <source>Match</source>
        <translation>Vergleich</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>Muster</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Groß/klein</translation>
    </message>
    <message>
        <source>Last 7 days</source>
        <translation>Letzte 7 Tage</translation>
    </message>
    <message>
        <source>Problem</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>Rules, the first that matches decides</source>
        <translation>Regeln, die erste passende entscheidet</translation>
    </message>
    <message>
        <source>Add Rule</source>
        <translation>Regel hinzufügen</translation>
    </message>
    <message>
        <source>Remove Rule</source>
        <translation>Regel entfernen</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Ctrl+Up</source>
        <translation>Strg+Pfeil nach oben</translation>
    </message>
    <message>
        <source>Ctrl+Down</source>
        <translation>Strg+Pfeil nach unten</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Try an application</source>
        <translation>Eine Anwendung ausprobieren</translation>
    </message>
    <message>
        <source>Window or document</source>
        <translation>Fenster oder Dokument</translation>
    </message>
    <message>
        <source>Try a window</source>
        <translation>Ein Fenster ausprobieren</translation>
    </message>
    <message>
        <source>Try it:</source>
        <translation>Ausprobieren:</translation>
    </message>
    <message>
        <source>Rules (the first that matches decides)</source>
        <translation>Regeln (die erste passende entscheidet)</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importieren…</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exportieren…</translation>
    </message>
    <message>
        <source>Remove Default Set</source>
        <translation>Standardsatz entfernen</translation>
    </message>
    <message>
        <source>Add Category</source>
        <translation>Kategorie hinzufügen</translation>
    </message>
    <message>
        <source>Path (for example &quot;Work ▸ Kestrum&quot; or Work/Kestrum):</source>
        <translation>Pfad (zum Beispiel „Arbeit ▸ Kestrum“ oder Arbeit/Kestrum):</translation>
    </message>
    <message>
        <source>New Category</source>
        <translation>Neue Kategorie</translation>
    </message>
    <message>
        <source>The categories could not be saved: %1</source>
        <translation>Die Kategorien konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Import Categories</source>
        <translation>Kategorien importieren</translation>
    </message>
    <message>
        <source>Categories (*.json)</source>
        <translation>Kategorien (*.json)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>%1 could not be imported: %2</source>
        <translation>%1 konnte nicht importiert werden: %2</translation>
    </message>
    <message>
        <source>Export Categories</source>
        <translation>Kategorien exportieren</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>The categories could not be exported: %1</source>
        <translation>Die Kategorien konnten nicht exportiert werden: %1</translation>
    </message>
    <message>
        <source>%1 changed on disk; Save replaces it with what is shown here.</source>
        <translation>%1 wurde auf dem Datenträger geändert; „Speichern“ ersetzt die Datei durch das hier Angezeigte.</translation>
    </message>
    <message>
        <source>%1, colour %2</source>
        <translation>%1, Farbe %2</translation>
    </message>
    <message>
        <source>chosen by Kestrum</source>
        <translation>von Kestrum gewählt</translation>
    </message>
    <message>
        <source>(not a rule)</source>
        <translation>(keine Regel)</translation>
    </message>
    <message>
        <source>case-sensitive</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>A regular expression ran into the engine&apos;s limits on a name of the last seven days: there it counts as no match. The log names the rule.</source>
        <translation>Ein regulärer Ausdruck ist bei einem Namen der letzten sieben Tage an die Grenzen der Regex-Engine gestoßen: Dort gilt er als nicht zutreffend. Das Protokoll nennt die Regel.</translation>
    </message>
    <message>
        <source>The time of the last seven days this rule decides</source>
        <translation>Die Zeit der letzten sieben Tage, über die diese Regel entscheidet</translation>
    </message>
    <message>
        <source>%1 → %2 (a regular expression ran into the engine&apos;s limits on this name and counts as no match)</source>
        <translation>%1 → %2 (ein regulärer Ausdruck ist bei diesem Namen an die Grenzen der Regex-Engine gestoßen und gilt als nicht zutreffend)</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>Colour of %1</source>
        <translation>Farbe von %1</translation>
    </message>
    <message>
        <source>Saved in %1.</source>
        <translation>In %1 gespeichert.</translation>
    </message>
    <message>
        <source>Imported %1; Save keeps it.</source>
        <translation>%1 wurde importiert; „Speichern“ übernimmt es.</translation>
    </message>
</context>
<context>
    <name>CategorySet</name>
    <message>
        <source>&quot;%1&quot; or &quot;%2&quot;</source>
        <translation>&quot;%1&quot; oder &quot;%2&quot;</translation>
    </message>
    <message>
        <source>application contains &quot;%1&quot;</source>
        <translation>Anwendung enthält „%1“</translation>
    </message>
    <message>
        <source>application is &quot;%1&quot;</source>
        <translation>Anwendung ist „%1“</translation>
    </message>
    <message>
        <source>application matches &quot;%1&quot;</source>
        <translation>Anwendung passt auf „%1“</translation>
    </message>
    <message>
        <source>window contains &quot;%1&quot;</source>
        <translation>Fenster enthält „%1“</translation>
    </message>
    <message>
        <source>window is &quot;%1&quot;</source>
        <translation>Fenster ist „%1“</translation>
    </message>
    <message>
        <source>window matches &quot;%1&quot;</source>
        <translation>Fenster passt auf „%1“</translation>
    </message>
    <message>
        <source>either contains &quot;%1&quot;</source>
        <translation>Anwendung oder Fenster enthält „%1“</translation>
    </message>
    <message>
        <source>either is &quot;%1&quot;</source>
        <translation>Anwendung oder Fenster ist „%1“</translation>
    </message>
    <message>
        <source>either matches &quot;%1&quot;</source>
        <translation>Anwendung oder Fenster passt auf „%1“</translation>
    </message>
    <message>
        <source>%1 (case-sensitive)</source>
        <translation>%1 (Groß-/Kleinschreibung beachten)</translation>
    </message>
    <message>
        <source>Development</source>
        <translation>Entwicklung</translation>
    </message>
    <message>
        <source>Communication</source>
        <translation>Kommunikation</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>Web</translation>
    </message>
    <message>
        <source>Office</source>
        <translation>Büro</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>Multimedia</translation>
    </message>
    <message>
        <source>this is not JSON (%1)</source>
        <translation>dies ist kein JSON (%1)</translation>
    </message>
    <message>
        <source>the file holds no object with &quot;version&quot;, &quot;categories&quot; and &quot;rules&quot;</source>
        <translation>die Datei enthält kein Objekt mit &quot;version&quot;, &quot;categories&quot; und &quot;rules&quot;</translation>
    </message>
    <message>
        <source>&quot;version&quot; must be a whole number from 1 on</source>
        <translation>&quot;version&quot; muss eine ganze Zahl ab 1 sein</translation>
    </message>
    <message>
        <source>version %1 is newer than this Kestrum&apos;s %2: what it knows of is used</source>
        <translation>Version %1 ist neuer als die dieses Kestrum (%2): Verwendet wird, was es davon kennt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a list</source>
        <translation>&quot;%1&quot; muss eine Liste sein</translation>
    </message>
    <message>
        <source>category %1 has no &quot;path&quot; (a list of names)</source>
        <translation>Kategorie %1 hat keinen &quot;path&quot; (eine Liste von Namen)</translation>
    </message>
    <message>
        <source>category &quot;%1&quot; is listed twice: the first one is used</source>
        <translation>Kategorie „%1“ ist doppelt aufgeführt: Die erste wird verwendet</translation>
    </message>
    <message>
        <source>category &quot;%1&quot; has no colour of the form #rrggbb: one is chosen for it</source>
        <translation>Kategorie „%1“ hat keine Farbe der Form #rrggbb: Es wird eine für sie gewählt</translation>
    </message>
    <message>
        <source>it is no object</source>
        <translation>sie ist kein Objekt</translation>
    </message>
    <message>
        <source>it has no &quot;category&quot; (a list of names)</source>
        <translation>sie hat keine &quot;category&quot; (eine Liste von Namen)</translation>
    </message>
    <message>
        <source>its &quot;field&quot; must be %1</source>
        <translation>ihr &quot;field&quot; muss %1 sein</translation>
    </message>
    <message>
        <source>its &quot;match&quot; must be %1</source>
        <translation>ihr &quot;match&quot; muss %1 sein</translation>
    </message>
    <message>
        <source>it has no &quot;pattern&quot; (a text)</source>
        <translation>sie hat kein &quot;pattern&quot; (einen Text)</translation>
    </message>
    <message>
        <source>its &quot;caseSensitive&quot; must be true or false</source>
        <translation>ihr &quot;caseSensitive&quot; muss true oder false sein</translation>
    </message>
    <message>
        <source>rule %1 is not used: %2</source>
        <translation>Regel %1 wird nicht verwendet: %2</translation>
    </message>
    <message>
        <source>its category &quot;%1&quot; is not in the list of categories</source>
        <translation>ihre Kategorie „%1“ steht nicht in der Liste der Kategorien</translation>
    </message>
    <message>
        <source>its pattern is no regular expression: %1 at character %2</source>
        <translation>ihr Muster ist kein regulärer Ausdruck: %1 bei Zeichen %2</translation>
    </message>
</context>
<context>
    <name>Classifier</name>
    <message>
        <source>Uncategorized</source>
        <translation>Ohne Kategorie</translation>
    </message>
    <message>
        <source>rule %1: %2</source>
        <translation>Regel %1: %2</translation>
    </message>
    <message>
        <source>assigned</source>
        <translation>zugeordnet</translation>
    </message>
    <message>
        <source>no rule</source>
        <translation>keine Regel</translation>
    </message>
</context>
<context>
    <name>DayFile</name>
    <message>
        <source>not JSON (%1)</source>
        <translation>kein JSON (%1)</translation>
    </message>
    <message>
        <source>not a JSON object</source>
        <translation>kein JSON-Objekt</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>the file ends in the middle of a line</source>
        <translation>die Datei endet mitten in einer Zeile</translation>
    </message>
    <message>
        <source>format %1 is newer than this Kestrum reads (%2)</source>
        <translation>Format %1 ist neuer, als diese Kestrum-Version lesen kann (%2)</translation>
    </message>
    <message>
        <source>not the header of a day file (format, device and day)</source>
        <translation>kein Kopf einer Tagesdatei (Format, Computer und Tag)</translation>
    </message>
    <message>
        <source>an assignment needs a start, an end after it and a category</source>
        <translation>eine Zuordnung braucht einen Anfang, ein späteres Ende und eine Kategorie</translation>
    </message>
    <message>
        <source>a stretch needs a start, an end after it, its seconds, an application, a window or null and its source</source>
        <translation>ein Abschnitt braucht einen Anfang, ein späteres Ende, seine Sekunden, eine Anwendung, ein Fenster oder null und seine Herkunft</translation>
    </message>
    <message>
        <source>a category is a list of names</source>
        <translation>eine Kategorie ist eine Liste von Namen</translation>
    </message>
    <message>
        <source>not a manifest (format, device and days)</source>
        <translation>kein Manifest (Format, Computer und Tage)</translation>
    </message>
    <message>
        <source>the day &quot;%1&quot; has no checksum of the form sha256:…</source>
        <translation>der Tag „%1“ hat keine Prüfsumme der Form sha256:…</translation>
    </message>
</context>
<context>
    <name>DayRange</name>
    <message>
        <source>%1 %2 is no day: days are written YYYY-MM-DD</source>
        <translation>%1 %2 ist kein Tag: Tage werden als JJJJ-MM-TT geschrieben</translation>
    </message>
    <message>
        <source>%1 %2 is before the first day there is, 0001-01-01</source>
        <translation>%1 %2 liegt vor dem ersten möglichen Tag, 0001-01-01</translation>
    </message>
    <message>
        <source>%1 %2 is after the last day there is, 9999-12-31</source>
        <translation>%1 %2 liegt nach dem letzten möglichen Tag, 9999-12-31</translation>
    </message>
    <message>
        <source>%1 %2 is no day: there is no month %3</source>
        <translation>%1 %2 ist kein Tag: es gibt keinen Monat %3</translation>
    </message>
    <message>
        <source>en</source>
        <comment>the code of this translation&apos;s language (de, fr, ...): the month names are written in it</comment>
        <translation>de</translation>
    </message>
    <message>
        <source>%1 %2 is no day: %3 %4 has %5 days</source>
        <translation>%1 %2 ist kein Tag: der %3 %4 hat %5 Tage</translation>
    </message>
    <message>
        <source>%1 %2 is before %3 %4</source>
        <translation>%1 %2 liegt vor %3 %4</translation>
    </message>
    <message>
        <source>%1 %2 is before the first day, today (%3): give %4 as well</source>
        <translation>%1 %2 liegt vor dem ersten Tag, heute (%3): geben Sie auch %4 an</translation>
    </message>
</context>
<context>
    <name>DesktopChoice</name>
    <message>
        <source>Windows cannot be watched: %1.</source>
        <translation>Fenster können nicht beobachtet werden: %1.</translation>
    </message>
    <message>
        <source>Window tracking on Wayland needs GNOME, KDE Plasma or a wlroots compositor such as sway; this compositor does not tell which application is in front, so Kestrum counts no windows.</source>
        <translation>Die Fensterverfolgung unter Wayland benötigt GNOME, KDE Plasma oder einen wlroots-Compositor wie sway; dieser Compositor teilt nicht mit, welche Anwendung im Vordergrund ist, daher zählt Kestrum keine Fenster.</translation>
    </message>
    <message>
        <source>Window tracking needs an X11 display or a Wayland session.</source>
        <translation>Die Fensterverfolgung benötigt eine X11-Anzeige oder eine Wayland-Sitzung.</translation>
    </message>
</context>
<context>
    <name>DeviceIdentity</name>
    <message>
        <source>Another computer shares its history as this one (device %1): this computer is a device of its own from now on, %2.</source>
        <translation>Ein anderer Computer teilt seinen Verlauf unter der Kennung dieses Computers (%1): Dieser Computer erhält ab jetzt eine eigene Kennung, %2.</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>it has no version</source>
        <translation>ohne Versionsangabe</translation>
    </message>
    <message>
        <source>it holds no device id</source>
        <translation>ohne Computerkennung</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2) and cannot be moved aside</source>
        <translation>%1 kann weder gelesen (%2) noch beiseitegelegt werden</translation>
    </message>
    <message>
        <source>This computer&apos;s device id could not be read from %1 (%2): it was moved to %3, and a new id taken.</source>
        <translation>Die Kennung dieses Computers konnte nicht aus %1 gelesen werden (%2): Die Datei wurde als %3 beiseitegelegt und eine neue Kennung vergeben.</translation>
    </message>
    <message>
        <source>Kestrum&apos;s data folder was made on another computer (device %1): this computer is a device of its own from now on, %2, so that the two never pose as one.</source>
        <translation>Der Datenordner von Kestrum wurde auf einem anderen Computer angelegt (Computer %1): Dieser Computer erhält ab jetzt eine eigene Kennung, %2, damit die beiden nie füreinander gehalten werden.</translation>
    </message>
</context>
<context>
    <name>GnomeDesktop</name>
    <message>
        <source>the session bus, which GNOME Shell tells of windows on, cannot be reached</source>
        <translation>der Sitzungsbus, über den GNOME Shell die Fenster meldet, ist nicht erreichbar</translation>
    </message>
    <message>
        <source>GNOME Shell left the session bus</source>
        <translation>GNOME Shell hat den Sitzungsbus verlassen</translation>
    </message>
    <message>
        <source>Kestrum&apos;s GNOME Shell extension does not answer (%1), so applications are counted as &quot;Unknown&quot;. Enable it with &quot;gnome-extensions enable %2&quot; and log in again.</source>
        <translation>Die GNOME-Shell-Erweiterung von Kestrum antwortet nicht (%1), daher werden Anwendungen als „Unknown“ gezählt. Aktivieren Sie sie mit „gnome-extensions enable %2“ und melden Sie sich erneut an.</translation>
    </message>
    <message>
        <source>Kestrum&apos;s GNOME Shell extension is installed and enabled: Kestrum sees which window is in front.</source>
        <translation>Die GNOME-Shell-Erweiterung von Kestrum ist installiert und aktiviert: Kestrum erkennt, welches Fenster im Vordergrund ist.</translation>
    </message>
    <message>
        <source>Kestrum&apos;s GNOME Shell extension is installed but not enabled, so applications are counted as &quot;Unknown&quot;. Enable it with &quot;%1&quot;; it takes effect after you next log in.</source>
        <translation>Die GNOME-Shell-Erweiterung von Kestrum ist installiert, aber nicht aktiviert, daher werden Anwendungen als „Unknown“ gezählt. Aktivieren Sie sie mit „%1“; dies wird bei der nächsten Anmeldung wirksam.</translation>
    </message>
    <message>
        <source>Kestrum&apos;s GNOME Shell extension is not installed, so applications are counted as &quot;Unknown&quot;. Install Kestrum (cmake --install), enable the extension with &quot;%1&quot; and log in again.</source>
        <translation>Die GNOME-Shell-Erweiterung von Kestrum ist nicht installiert, daher werden Anwendungen als „Unknown“ gezählt. Installieren Sie Kestrum (cmake --install), aktivieren Sie die Erweiterung mit „%1“ und melden Sie sich erneut an.</translation>
    </message>
    <message>
        <source>GNOME Shell does not say whether Kestrum&apos;s extension is installed. Kestrum needs it to see which window is in front: enable it with &quot;%1&quot; and log in again.</source>
        <translation>GNOME Shell teilt nicht mit, ob die Erweiterung von Kestrum installiert ist. Kestrum benötigt sie, um zu erkennen, welches Fenster im Vordergrund ist: Aktivieren Sie sie mit „%1“ und melden Sie sich erneut an.</translation>
    </message>
</context>
<context>
    <name>HistoryCategories</name>
    <message>
        <source>assigned from %1 to %2</source>
        <translation>zugeordnet von %1 bis %2</translation>
    </message>
    <message>
        <source>given with the added time</source>
        <translation>mit der hinzugefügten Zeit angegeben</translation>
    </message>
    <message>
        <source>given with the answer</source>
        <translation>mit der Antwort angegeben</translation>
    </message>
</context>
<context>
    <name>HistoryDatabase</name>
    <message numerus="yes">
        <source>%1, and %n more</source>
        <translation>
            <numerusform>%1 und %n weiterer Fehler</numerusform>
            <numerusform>%1 und %n weitere Fehler</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot create %1: %2</source>
        <translation>%1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot open the history %1: %2</source>
        <translation>der Verlauf %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 is left as it is: %2</source>
        <translation>%1 bleibt unverändert: %2</translation>
    </message>
    <message>
        <source>it is damaged: %1</source>
        <translation>die Datei ist beschädigt: %1</translation>
    </message>
    <message>
        <source>%1 cannot be used (%2) nor moved aside: %3</source>
        <translation>%1 kann weder verwendet (%2) noch beiseitegelegt werden: %3</translation>
    </message>
    <message>
        <source>the journal beside it, %1-wal, belongs to another database</source>
        <translation>das Journal daneben, %1-wal, gehört zu einer anderen Datenbank</translation>
    </message>
    <message numerus="yes">
        <source>The history %1 could not be used (%2): it was moved to %3 and a new one started, with the %n stretch(es) that could still be read in it.</source>
        <translation>
            <numerusform>Der Verlauf %1 konnte nicht verwendet werden (%2): Er wurde nach %3 verschoben und ein neuer begonnen, mit %n Abschnitt, der darin noch lesbar war.</numerusform>
            <numerusform>Der Verlauf %1 konnte nicht verwendet werden (%2): Er wurde nach %3 verschoben und ein neuer begonnen, mit %n Abschnitten, die darin noch lesbar waren.</numerusform>
        </translation>
    </message>
    <message>
        <source>The history %1 could not be used (%2): it was moved to %3 and a new one started; no stretch in it could be read.</source>
        <translation>Der Verlauf %1 konnte nicht verwendet werden (%2): Er wurde nach %3 verschoben und ein neuer begonnen; kein Abschnitt darin war lesbar.</translation>
    </message>
    <message>
        <source>there is no history at %1</source>
        <translation>unter %1 gibt es keinen Verlauf</translation>
    </message>
    <message>
        <source>%1 is not Kestrum&apos;s history: %2</source>
        <translation>%1 ist kein Verlauf von Kestrum: %2</translation>
    </message>
    <message>
        <source>cannot read the history %1: %2</source>
        <translation>der Verlauf %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1: a stretch names name %2, which is not in the file</source>
        <translation>%1: Ein Abschnitt verweist auf den Namen %2, der nicht in der Datei steht</translation>
    </message>
</context>
<context>
    <name>HistoryReport</name>
    <message>
        <source>recorded</source>
        <comment>a stretch&apos;s source: as Kestrum counted it</comment>
        <translation>aufgezeichnet</translation>
    </message>
    <message>
        <source>added</source>
        <comment>a stretch&apos;s source: time the user added</comment>
        <translation>hinzugefügt</translation>
    </message>
    <message>
        <source>answered</source>
        <comment>a stretch&apos;s source: time away the user said what it was</comment>
        <translation>beantwortet</translation>
    </message>
    <message>
        <source>corrected</source>
        <comment>a stretch&apos;s source: time the user corrected</comment>
        <translation>korrigiert</translation>
    </message>
    <message>
        <source>partly covered</source>
        <comment>a stretch partly covered by added time</comment>
        <translation>teilweise überdeckt</translation>
    </message>
    <message>
        <source>covered</source>
        <comment>a stretch wholly covered by added time</comment>
        <translation>überdeckt</translation>
    </message>
    <message>
        <source>--device %1 names no computer the history knows: %2</source>
        <translation>--device %1 nennt keinen Computer, den der Verlauf kennt: %2</translation>
    </message>
    <message>
        <source>--device %1 names %2 computers: give the id of one (%3)</source>
        <translation>--device %1 passt auf %2 Computer: geben Sie die ID eines davon an (%3)</translation>
    </message>
</context>
<context>
    <name>HistorySalvage</name>
    <message>
        <source>it is another program&apos;s database (application id %1)</source>
        <translation>die Datei ist eine Datenbank eines anderen Programms (Anwendungskennung %1)</translation>
    </message>
    <message>
        <source>it was written by a newer Kestrum (schema %1)</source>
        <translation>die Datei stammt von einer neueren Kestrum-Version (Schema %1)</translation>
    </message>
    <message>
        <source>its tables are missing</source>
        <translation>die Tabellen der Datei fehlen</translation>
    </message>
    <message>
        <source>it is another program&apos;s database (schema version %1)</source>
        <translation>die Datei ist eine Datenbank eines anderen Programms (Schemaversion %1)</translation>
    </message>
    <message>
        <source>it is another program&apos;s database (tables %1)</source>
        <translation>die Datei ist eine Datenbank eines anderen Programms (Tabellen %1)</translation>
    </message>
    <message>
        <source>cannot rename %1 to %2</source>
        <translation>%1 kann nicht in %2 umbenannt werden</translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>The history cannot be kept: %1. Counting goes on.</source>
        <translation>Der Verlauf kann nicht geführt werden: %1. Die Zählung läuft weiter.</translation>
    </message>
    <message>
        <source>The history cannot be written (%1): it is kept in memory and written when it can be.</source>
        <translation>Der Verlauf kann nicht geschrieben werden (%1): Er wird im Speicher gehalten und geschrieben, sobald es möglich ist.</translation>
    </message>
    <message>
        <source>The history could not be put on the disk (%1).</source>
        <translation>Der Verlauf konnte nicht auf den Datenträger geschrieben werden (%1).</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>Forget</source>
        <translation>Vergessen</translation>
    </message>
    <message>
        <source>Kestrum History</source>
        <translation>Kestrum-Verlauf</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Woche</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Day shown</source>
        <translation>Angezeigter Tag</translation>
    </message>
    <message>
        <source>By Application</source>
        <translation>Nach Anwendung</translation>
    </message>
    <message>
        <source>By Category</source>
        <translation>Nach Kategorie</translation>
    </message>
    <message>
        <source>Group by</source>
        <translation>Gruppieren nach</translation>
    </message>
    <message>
        <source>Computers</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Show only the hours that hold activity, or the whole day</source>
        <translation>Nur die Stunden mit Aktivität anzeigen oder den ganzen Tag</translation>
    </message>
    <message>
        <source>Legend</source>
        <translation>Legende</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Time by application</source>
        <translation>Zeit nach Anwendung</translation>
    </message>
    <message>
        <source>Export Stretches…</source>
        <translation>Abschnitte exportieren…</translation>
    </message>
    <message>
        <source>Export Totals…</source>
        <translation>Summen exportieren…</translation>
    </message>
    <message>
        <source>Export Timesheet…</source>
        <translation>Stundenzettel exportieren…</translation>
    </message>
    <message>
        <source>Add Time…</source>
        <translation>Zeit hinzufügen…</translation>
    </message>
    <message>
        <source>Forget Range…</source>
        <translation>Zeitraum vergessen…</translation>
    </message>
    <message>
        <source>Forget Application…</source>
        <translation>Anwendung vergessen…</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Time by category</source>
        <translation>Zeit nach Kategorie</translation>
    </message>
    <message>
        <source>The history is damaged and cannot be shown (%1). Kestrum moves a damaged history aside at its next start and keeps what can still be read of it.</source>
        <translation>Der Verlauf ist beschädigt und kann nicht angezeigt werden (%1). Kestrum legt einen beschädigten Verlauf beim nächsten Start beiseite und behält, was sich davon noch lesen lässt.</translation>
    </message>
    <message>
        <source>The history cannot be read: %1</source>
        <translation>Der Verlauf kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Total: %1 · Idle: %2 · at two computers at once: %3, counted on each</source>
        <translation>Gesamt: %1 · Leerlauf: %2 · an zwei Computern gleichzeitig: %3, auf jedem gezählt</translation>
    </message>
    <message>
        <source>Total: %1 · Idle: %2</source>
        <translation>Gesamt: %1 · Leerlauf: %2</translation>
    </message>
    <message>
        <source>All Computers</source>
        <translation>Alle Computer</translation>
    </message>
    <message>
        <source>This Computer (%1)</source>
        <translation>Dieser Computer (%1)</translation>
    </message>
    <message>
        <source>Export Totals</source>
        <translation>Summen exportieren</translation>
    </message>
    <message>
        <source>Export Stretches</source>
        <translation>Abschnitte exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>The history could not be exported: %1</source>
        <translation>Der Verlauf konnte nicht exportiert werden: %1</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <comment>a range of days</comment>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>Forget everything &quot;%1&quot; did in the history from %2? This cannot be undone.</source>
        <translation>Alles von „%1“ für %2 aus dem Verlauf vergessen? Das kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Forget the history of %1? This cannot be undone.</source>
        <translation>Den Verlauf für %1 vergessen? Das kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Nothing was forgotten: %1</source>
        <translation>Nichts wurde vergessen: %1</translation>
    </message>
    <message numerus="yes">
        <source>%Ln stretch(es) forgotten.</source>
        <translation>
            <numerusform>%Ln Abschnitt vergessen.</numerusform>
            <numerusform>%Ln Abschnitte vergessen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Export Timesheet</source>
        <translation>Stundenzettel exportieren</translation>
    </message>
    <message>
        <source>The timesheet could not be exported: %1</source>
        <translation>Der Stundenzettel konnte nicht exportiert werden: %1</translation>
    </message>
    <message>
        <source>nothing is selected</source>
        <translation>es ist nichts ausgewählt</translation>
    </message>
    <message>
        <source>%1 to %2 is now in &quot;%3&quot;.</source>
        <translation>Die Zeit von %1 bis %2 ist jetzt in „%3“.</translation>
    </message>
    <message>
        <source>added time needs a name and an end after its start</source>
        <translation>hinzugefügte Zeit braucht einen Namen und ein Ende nach ihrem Beginn</translation>
    </message>
    <message>
        <source>%1 to %2 added as &quot;%3&quot;.</source>
        <translation>Zeit von %1 bis %2 als „%3“ hinzugefügt.</translation>
    </message>
    <message>
        <source>The added time was removed; what was recorded beneath it counts again.</source>
        <translation>Die hinzugefügte Zeit wurde entfernt; was darunter aufgezeichnet wurde, zählt wieder.</translation>
    </message>
    <message>
        <source>no stretch is selected</source>
        <translation>es ist kein Abschnitt ausgewählt</translation>
    </message>
    <message>
        <source>added time is changed with Edit Added Time…</source>
        <translation>hinzugefügte Zeit wird mit „Hinzugefügte Zeit bearbeiten…“ geändert</translation>
    </message>
    <message>
        <source>The stretch from %1 is now &quot;%2&quot;; it was recorded as &quot;%3&quot;.</source>
        <translation>Der Abschnitt ab %1 heißt jetzt „%2“; aufgezeichnet wurde er als „%3“.</translation>
    </message>
    <message>
        <source>Nothing was added: %1</source>
        <translation>Nichts wurde hinzugefügt: %1</translation>
    </message>
    <message>
        <source>Nothing was changed: %1</source>
        <translation>Nichts wurde geändert: %1</translation>
    </message>
    <message>
        <source>there is no categories file to keep the rule in</source>
        <translation>es gibt keine Kategoriendatei, in der die Regel gespeichert werden könnte</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is now always in &quot;%2&quot;, on every day kept.</source>
        <translation>„%1“ ist jetzt immer in „%2“, an jedem gespeicherten Tag.</translation>
    </message>
    <message>
        <source>Always Put &quot;%1&quot; in…</source>
        <translation>„%1“ immer einordnen in…</translation>
    </message>
    <message>
        <source>Always Put Window &quot;%1&quot; in…</source>
        <translation>Fenster „%1“ immer einordnen in…</translation>
    </message>
    <message>
        <source>Always put &quot;%1&quot; into:</source>
        <translation>„%1“ immer einordnen in:</translation>
    </message>
    <message>
        <source>Assign to Category…</source>
        <translation>Kategorie zuordnen…</translation>
    </message>
    <message>
        <source>Edit Added Time…</source>
        <translation>Hinzugefügte Zeit bearbeiten…</translation>
    </message>
    <message>
        <source>Remove Added Time</source>
        <translation>Hinzugefügte Zeit entfernen</translation>
    </message>
    <message>
        <source>Rename as…</source>
        <translation>Umbenennen in…</translation>
    </message>
    <message>
        <source>Forget…</source>
        <translation>Vergessen…</translation>
    </message>
    <message>
        <source>Put the selected time into:</source>
        <translation>Die ausgewählte Zeit einordnen in:</translation>
    </message>
    <message>
        <source>Nothing was removed: %1</source>
        <translation>Nichts wurde entfernt: %1</translation>
    </message>
    <message>
        <source>Count this stretch as:</source>
        <translation>Diesen Abschnitt zählen als:</translation>
    </message>
    <message>
        <source>Nothing was renamed: %1</source>
        <translation>Nichts wurde umbenannt: %1</translation>
    </message>
    <message>
        <source>Make a Rule…</source>
        <translation>Regel erstellen…</translation>
    </message>
    <message>
        <source>Forget the stretches that start from %1 to %2? This cannot be undone.</source>
        <translation>Die Abschnitte vergessen, die zwischen %1 und %2 beginnen? Das kann nicht rückgängig gemacht werden.</translation>
    </message>
</context>
<context>
    <name>KWinScriptDesktop</name>
    <message>
        <source>cannot offer KWin a way to report its windows: %1</source>
        <translation>KWin kann keine Schnittstelle zum Melden seiner Fenster angeboten werden: %1</translation>
    </message>
    <message>
        <source>cannot write KWin&apos;s window watcher: %1</source>
        <translation>der Fensterbeobachter für KWin kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>it refused</source>
        <comment>KWin refused to load the script</comment>
        <translation>Laden abgelehnt</translation>
    </message>
    <message>
        <source>KWin did not run Kestrum&apos;s window watcher (%1): windows are not watched.</source>
        <translation>KWin hat den Fensterbeobachter von Kestrum nicht ausgeführt (%1): Fenster werden nicht beobachtet.</translation>
    </message>
</context>
<context>
    <name>KestrumController</name>
    <message>
        <source>Timer still running.</source>
        <translation>Ein Zähler läuft noch.</translation>
    </message>
    <message>
        <source>There is a timer currently running. Kestrum must remain open in order to keep track of time. Are you sure you wish to quit?</source>
        <translation>Gerade läuft ein Zähler. Kestrum muss geöffnet bleiben, um die Zeit zu erfassen. Möchten Sie Kestrum wirklich beenden?</translation>
    </message>
    <message>
        <source>Remain Open</source>
        <comment>button: do not quit</comment>
        <translation>Geöffnet lassen</translation>
    </message>
    <message>
        <source>Quit</source>
        <comment>button: quit although counting</comment>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>KestrumProbe</name>
    <message>
        <source>Prints what Kestrum sees on this desktop, one JSON object a line, every second and on every
change: the front application, the active window with its title and document name, the
seconds since the last input, whether idle is inhibited and by what, whether the screen
saver runs, and the login session&apos;s state.</source>
        <translation>Gibt aus, was Kestrum in dieser Arbeitsumgebung sieht, ein JSON-Objekt je Zeile, jede Sekunde
und bei jeder Änderung: die Anwendung im Vordergrund, das aktive Fenster mit Titel und
Dokumentname, die Sekunden seit der letzten Eingabe, ob und wodurch der Leerlauf verhindert
wird, ob der Bildschirmschoner läuft, und den Zustand der Sitzung.</translation>
    </message>
    <message>
        <source>Stop after N lines.</source>
        <translation>Nach N Zeilen aufhören.</translation>
    </message>
    <message>
        <source>N</source>
        <comment>value name of --count in --help</comment>
        <translation>N</translation>
    </message>
    <message>
        <source>--count takes a positive number</source>
        <translation>--count erwartet eine positive Zahl</translation>
    </message>
</context>
<context>
    <name>KestrumReplay</name>
    <message>
        <source>Runs a Kestrum scenario (JSON Lines of timed actions) against the real controller on a
scripted desktop and virtual time, and prints the resulting timings as a timing document.</source>
        <translation>Spielt ein Kestrum-Szenario (JSON Lines mit zeitlich festgelegten Aktionen) mit der echten Steuerung
auf einer simulierten Arbeitsumgebung in virtueller Zeit ab und gibt die Zeiten als Zeitendokument aus.</translation>
    </message>
    <message>
        <source>Print the CSV export of all applications instead.</source>
        <translation>Stattdessen den CSV-Export aller Anwendungen ausgeben.</translation>
    </message>
    <message>
        <source>Run as if DIR were the home directory (default: a temporary one).</source>
        <translation>So ausführen, als wäre VERZ das Home-Verzeichnis (Vorgabe: ein temporäres).</translation>
    </message>
    <message>
        <source>DIR</source>
        <comment>value name of --home in --help</comment>
        <translation>VERZ</translation>
    </message>
    <message>
        <source>SCENARIO</source>
        <comment>name of the argument in --help</comment>
        <translation>SZENARIO</translation>
    </message>
    <message>
        <source>The scenario file (.jsonl).</source>
        <translation>Die Szenariodatei (.jsonl).</translation>
    </message>
    <message>
        <source>give one SCENARIO file (see --help)</source>
        <translation>geben Sie genau eine SZENARIO-Datei an (siehe --help)</translation>
    </message>
    <message>
        <source>cannot make a temporary home directory: %1</source>
        <translation>ein temporäres Home-Verzeichnis kann nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>cannot use %1 as the home directory: %2</source>
        <translation>%1 kann nicht als Home-Verzeichnis verwendet werden: %2</translation>
    </message>
</context>
<context>
    <name>KestrumReport</name>
    <message>
        <source>%1 is no option: a day goes after --from or --to, and days start at 0001-01-01</source>
        <translation>%1 ist keine Option: ein Tag gehört hinter --from oder --to, und die Tage beginnen bei 0001-01-01</translation>
    </message>
    <message>
        <source>unknown option %1 (see --help)</source>
        <translation>unbekannte Option %1 (siehe --help)</translation>
    </message>
    <message>
        <source>Prints the timings of a Kestrum timing document, or with no FILE those Kestrum saved last
(in %1): applications longest first with their windows beneath, and the total.</source>
        <translation>Gibt die Zeiten eines Kestrum-Zeitendokuments aus, ohne DATEI die zuletzt von Kestrum gespeicherten
(in %1): die Anwendungen, die längste zuerst, mit ihren Fenstern darunter, und die Gesamtzeit.</translation>
    </message>
    <message>
        <source>Print the CSV export of all applications instead of the table.</source>
        <translation>Den CSV-Export aller Anwendungen statt der Tabelle ausgeben.</translation>
    </message>
    <message>
        <source>Print the stretches of the history (%1) instead, each marked as recorded, added, answered or corrected.</source>
        <translation>Stattdessen die Abschnitte des Verlaufs (%1) ausgeben, jeweils als aufgezeichnet, hinzugefügt, beantwortet oder korrigiert gekennzeichnet.</translation>
    </message>
    <message>
        <source>With --history: totals by app, window, day or category (the categories and rules of %1).</source>
        <translation>Mit --history: Summen nach Anwendung (app), Fenster (window), Tag (day) oder Kategorie (category), nach den Kategorien und Regeln aus %1.</translation>
    </message>
    <message>
        <source>With --by category: the tree folded to N levels.</source>
        <translation>Mit --by category: der Baum auf N Ebenen zusammengeklappt.</translation>
    </message>
    <message>
        <source>N</source>
        <comment>value name of --depth in --help</comment>
        <translation>N</translation>
    </message>
    <message>
        <source>With --history: only the time of this category and those beneath it.</source>
        <translation>Mit --history: nur die Zeit dieser Kategorie und der Kategorien darunter.</translation>
    </message>
    <message>
        <source>With --history and no --by: each stretch&apos;s category and the rule or assignment that put it there.</source>
        <translation>Mit --history und ohne --by: die Kategorie jedes Abschnitts und die Regel oder Zuordnung, die ihn dorthin gebracht hat.</translation>
    </message>
    <message>
        <source>With --history: the first day (default today).</source>
        <translation>Mit --history: der erste Tag (Vorgabe: heute).</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <comment>value name of --from and --to in --help: how a day is written</comment>
        <translation>JJJJ-MM-TT</translation>
    </message>
    <message>
        <source>With --history: the last day (default the first).</source>
        <translation>Mit --history: der letzte Tag (Vorgabe: der erste).</translation>
    </message>
    <message>
        <source>With --history: JSON Lines instead of the table.</source>
        <translation>Mit --history: JSON Lines statt der Tabelle.</translation>
    </message>
    <message>
        <source>With --history: the time of one computer (its name or id), of this one (this) or of all (all: the default once the shared folder holds others).</source>
        <translation>Mit --history: die Zeit eines Computers (sein Name oder seine ID), dieses Computers (this) oder aller (all: die Vorgabe, sobald der gemeinsame Ordner andere enthält).</translation>
    </message>
    <message>
        <source>NAME|ID|all|this</source>
        <comment>value name of --device in --help; all and this are typed as they are</comment>
        <translation>NAME|ID|all|this</translation>
    </message>
    <message>
        <source>The history&apos;s days as columns and its categories (--by app: applications) as rows, with totals.</source>
        <translation>Die Tage des Verlaufs als Spalten und seine Kategorien (--by app: Anwendungen) als Zeilen, mit Summen.</translation>
    </message>
    <message>
        <source>The history as an iCalendar file: an event per run of time in one category.</source>
        <translation>Der Verlauf als iCalendar-Datei: ein Termin je zusammenhängender Zeit in einer Kategorie.</translation>
    </message>
    <message>
        <source>FILE</source>
        <comment>name of the argument in --help</comment>
        <translation>DATEI</translation>
    </message>
    <message>
        <source>A timing document (.kestrum).</source>
        <translation>Ein Zeitendokument (.kestrum).</translation>
    </message>
    <message>
        <source>[FILE]</source>
        <comment>the argument in the usage line of --help</comment>
        <translation>[DATEI]</translation>
    </message>
    <message>
        <source>%1 is not read with --history, which reads the history (%2)</source>
        <translation>%1 wird mit --history nicht gelesen, denn --history liest den Verlauf (%2)</translation>
    </message>
    <message>
        <source>--csv and --json cannot go together</source>
        <translation>--csv und --json schließen einander aus</translation>
    </message>
    <message>
        <source>--by %1 is no grouping: --by takes app, window, day or category</source>
        <translation>--by %1 ist keine Gruppierung: --by erwartet app, window, day oder category</translation>
    </message>
    <message>
        <source>--timesheet and --ical cannot go together</source>
        <translation>--timesheet und --ical schließen einander aus</translation>
    </message>
    <message>
        <source>--timesheet takes --by category or --by app</source>
        <translation>--timesheet erlaubt nur --by category oder --by app</translation>
    </message>
    <message>
        <source>--timesheet prints a table, or CSV with --csv</source>
        <translation>--timesheet gibt eine Tabelle aus, mit --csv CSV</translation>
    </message>
    <message>
        <source>--ical goes with --from, --to and --category alone</source>
        <translation>--ical lässt sich nur mit --from, --to und --category verbinden</translation>
    </message>
    <message>
        <source>--depth goes with --by category</source>
        <translation>--depth setzt --by category voraus</translation>
    </message>
    <message>
        <source>--depth %1 is no depth: it takes a whole number from 1 on</source>
        <translation>--depth %1 ist keine Tiefe: erwartet wird eine ganze Zahl ab 1</translation>
    </message>
    <message>
        <source>--explain goes with the stretches, not with --by</source>
        <translation>--explain gilt für die Abschnitte, nicht für --by</translation>
    </message>
    <message>
        <source>--category %1 names no category</source>
        <translation>--category %1 nennt keine Kategorie</translation>
    </message>
    <message>
        <source>%1 is not among the categories of %2; only time assigned to it is shown</source>
        <translation>%1 ist keine der Kategorien aus %2; nur ihr zugeordnete Zeit wird angezeigt</translation>
    </message>
    <message>
        <source>--by, --depth, --category, --explain, --device, --from, --to and --json go with --history</source>
        <translation>--by, --depth, --category, --explain, --device, --from, --to und --json setzen --history voraus</translation>
    </message>
    <message>
        <source>only one FILE can be read (see --help)</source>
        <translation>nur eine DATEI kann gelesen werden (siehe --help)</translation>
    </message>
    <message>
        <source>no timings saved yet (%1 does not exist)</source>
        <translation>noch keine Zeiten gespeichert (%1 existiert nicht)</translation>
    </message>
    <message>
        <source>%1 holds no settings</source>
        <translation>%1 enthält keine Einstellungen</translation>
    </message>
</context>
<context>
    <name>LoginAutostart</name>
    <message>
        <source>%1 could not be removed: %2</source>
        <translation>%1 konnte nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>LogindMonitor</name>
    <message>
        <source>Pause counting before the computer sleeps</source>
        <translation>Zählung vor dem Ruhezustand des Computers anhalten</translation>
    </message>
    <message>
        <source>Sleep and wake cannot be followed (logind is missing): counting does not pause over sleep.</source>
        <translation>Ruhezustand und Aufwachen können nicht verfolgt werden (logind fehlt): Die Zählung wird während des Ruhezustands nicht angehalten.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Kestrum</source>
        <translation>Kestrum</translation>
    </message>
    <message>
        <source>Start or pause counting (Ctrl+Return)</source>
        <translation>Zählung starten oder anhalten (Strg+Eingabe)</translation>
    </message>
    <message>
        <source>Search applications</source>
        <translation>Anwendungen durchsuchen</translation>
    </message>
    <message>
        <source>Show only applications with at least this much time</source>
        <translation>Nur Anwendungen mit mindestens so viel Zeit anzeigen</translation>
    </message>
    <message>
        <source>Least time shown</source>
        <translation>Kürzeste angezeigte Zeit</translation>
    </message>
    <message>
        <source>At least</source>
        <translation>Mindestens</translation>
    </message>
    <message>
        <source>Timings</source>
        <translation>Zeiten</translation>
    </message>
    <message>
        <source>Applications and, beneath each, its windows, with their time</source>
        <translation>Anwendungen und darunter jeweils ihre Fenster, mit ihrer Zeit</translation>
    </message>
    <message>
        <source>Press Start to count the time you spend in each application, or turn on “Start counting when Kestrum opens” in Edit ▸ Preferences.</source>
        <translation>Klicken Sie auf „Starten“, um die Zeit zu zählen, die Sie in jeder Anwendung verbringen, oder schalten Sie „Zählung beim Öffnen von Kestrum starten“ unter Bearbeiten ▸ Einstellungen ein.</translation>
    </message>
    <message>
        <source>Total:</source>
        <translation>Gesamt:</translation>
    </message>
    <message>
        <source>The timings could not be saved: %1</source>
        <translation>Die Zeiten konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>The periodic save failed, so the timings were kept: %1</source>
        <translation>Das regelmäßige Speichern ist fehlgeschlagen, daher wurden die Zeiten behalten: %1</translation>
    </message>
    <message>
        <source>Selected:</source>
        <translation>Ausgewählt:</translation>
    </message>
    <message>
        <source>Start</source>
        <comment>button: start counting</comment>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Pause</source>
        <comment>button: pause counting</comment>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open Timings…</source>
        <translation>Zeiten ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>Save Timings &amp;As…</source>
        <translation>Zeiten speichern &amp;unter…</translation>
    </message>
    <message>
        <source>Export &amp;All to CSV…</source>
        <translation>&amp;Alle als CSV exportieren…</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Export &amp;Shown to CSV…</source>
        <translation>A&amp;ngezeigte als CSV exportieren…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+E</source>
        <translation>Ctrl+Shift+E</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Clear Timers…</source>
        <translation>Zähler &amp;zurücksetzen…</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Backspace</source>
        <translation>Ctrl+Shift+Backspace</translation>
    </message>
    <message>
        <source>C&amp;ategories…</source>
        <translation>&amp;Kategorien…</translation>
    </message>
    <message>
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>&amp;Einstellungen…</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;History…</source>
        <translation>&amp;Verlauf…</translation>
    </message>
    <message>
        <source>Ctrl+H</source>
        <translation>Ctrl+H</translation>
    </message>
    <message>
        <source>&amp;Counting</source>
        <translation>&amp;Zählung</translation>
    </message>
    <message>
        <source>Ctrl+Return</source>
        <translation>Ctrl+Return</translation>
    </message>
    <message>
        <source>Open Timings</source>
        <translation>Zeiten öffnen</translation>
    </message>
    <message>
        <source>Kestrum timings (*.kestrum);;All files (*)</source>
        <translation>Kestrum-Zeitendokumente (*.kestrum);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The timings in “%1” could not be opened.</source>
        <translation>Die Zeiten in „%1“ konnten nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Opening “%1” replaces the current timings.</source>
        <translation>Das Öffnen von „%1“ ersetzt die aktuellen Zeiten.</translation>
    </message>
    <message>
        <source>Do you want to save the current timings first?</source>
        <translation>Möchten Sie die aktuellen Zeiten zuerst speichern?</translation>
    </message>
    <message>
        <source>Save Timings…</source>
        <translation>Zeiten speichern…</translation>
    </message>
    <message>
        <source>Replace Timings</source>
        <translation>Zeiten ersetzen</translation>
    </message>
    <message>
        <source>Save Timings As</source>
        <translation>Zeiten speichern unter</translation>
    </message>
    <message>
        <source>Kestrum timings (*.kestrum)</source>
        <translation>Kestrum-Zeitendokumente (*.kestrum)</translation>
    </message>
    <message>
        <source>The timings could not be saved as “%1”.</source>
        <translation>Die Zeiten konnten nicht als „%1“ gespeichert werden.</translation>
    </message>
    <message>
        <source>Export All to CSV</source>
        <translation>Alle als CSV exportieren</translation>
    </message>
    <message>
        <source>Export Shown to CSV</source>
        <translation>Angezeigte als CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>The timings could not be exported to “%1”.</source>
        <translation>Die Zeiten konnten nicht nach „%1“ exportiert werden.</translation>
    </message>
    <message>
        <source>Clear Timers</source>
        <translation>Zähler zurücksetzen</translation>
    </message>
    <message>
        <source>Are you sure you wish to clear the timers?</source>
        <translation>Möchten Sie die Zähler wirklich zurücksetzen?</translation>
    </message>
    <message>
        <source>Keep Current Timers</source>
        <translation>Aktuelle Zähler behalten</translation>
    </message>
    <message numerus="yes">
        <source>%1 (and %n more: see Edit ▸ Categories…)</source>
        <translation>
            <numerusform>%1 (und %n weiteres: siehe Bearbeiten ▸ Kategorien…)</numerusform>
            <numerusform>%1 (und %n weitere: siehe Bearbeiten ▸ Kategorien…)</numerusform>
        </translation>
    </message>
    <message>
        <source>Keep your categories in the shared folder?</source>
        <translation>Ihre Kategorien im gemeinsamen Ordner aufbewahren?</translation>
    </message>
    <message>
        <source>Every computer then sorts its time into the same categories, by the same rules. This computer&apos;s categories move to %1.</source>
        <translation>Dann ordnet jeder Computer seine Zeit nach denselben Regeln in dieselben Kategorien ein. Die Kategorien dieses Computers werden nach %1 verschoben.</translation>
    </message>
    <message>
        <source>Move to the Shared Folder</source>
        <translation>In den gemeinsamen Ordner verschieben</translation>
    </message>
    <message>
        <source>Keep on This Computer</source>
        <translation>Auf diesem Computer behalten</translation>
    </message>
    <message>
        <source>The categories stay on this computer: %1</source>
        <translation>Die Kategorien bleiben auf diesem Computer: %1</translation>
    </message>
    <message>
        <source>Two versions of the categories</source>
        <translation>Zwei Versionen der Kategorien</translation>
    </message>
    <message>
        <source>The sync tool kept another computer&apos;s version of the categories beside them, as %1 (changed %2). Which should every computer use?</source>
        <translation>Das Synchronisationsprogramm hat die Version der Kategorien eines anderen Computers daneben abgelegt, als %1 (geändert am %2). Welche sollen alle Computer verwenden?</translation>
    </message>
    <message>
        <source>Keep the Current Categories</source>
        <translation>Aktuelle Kategorien behalten</translation>
    </message>
    <message>
        <source>Use the Other Version</source>
        <translation>Andere Version verwenden</translation>
    </message>
    <message>
        <source>The two versions of the categories are left as they are: %1</source>
        <translation>Die beiden Versionen der Kategorien bleiben unverändert: %1</translation>
    </message>
    <message>
        <source>Window titles cannot be read here: only applications are timed.</source>
        <translation>Fenstertitel können hier nicht gelesen werden: Es werden nur Anwendungen gezählt.</translation>
    </message>
    <message>
        <source>Time per window is turned off: only applications are timed.</source>
        <translation>Die Zeit pro Fenster ist ausgeschaltet: Es werden nur Anwendungen gezählt.</translation>
    </message>
</context>
<context>
    <name>OutlineModel</name>
    <message>
        <source>%1: time away from the computer, as you said</source>
        <translation>%1: Abwesenheit vom Computer, nach Ihrer Angabe</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
</context>
<context>
    <name>PeriodicSave</name>
    <message>
        <source>The periodic save into %1 failed, and the timings were kept: %2</source>
        <translation>Das regelmäßige Speichern in %1 ist fehlgeschlagen; die Zeiten wurden behalten: %2</translation>
    </message>
</context>
<context>
    <name>PlasmaDesktop</name>
    <message>
        <source>KWin does not let Kestrum list its windows (it offers no %1)</source>
        <translation>KWin erlaubt Kestrum nicht, seine Fenster aufzulisten (%1 wird nicht angeboten)</translation>
    </message>
    <message>
        <source>the Wayland compositor does not answer</source>
        <translation>der Wayland-Compositor antwortet nicht</translation>
    </message>
</context>
<context>
    <name>PrefWindow</name>
    <message>
        <source>Kestrum Preferences</source>
        <translation>Kestrum-Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Start counting when Kestrum opens</source>
        <translation>Zählung beim Öffnen von Kestrum starten</translation>
    </message>
    <message>
        <source>Open Kestrum at login</source>
        <translation>Kestrum bei der Anmeldung öffnen</translation>
    </message>
    <message>
        <source>Counting</source>
        <translation>Zählung</translation>
    </message>
    <message>
        <source>Count time per window and document</source>
        <translation>Zeit pro Fenster und Dokument zählen</translation>
    </message>
    <message>
        <source>Idle after</source>
        <translation>Leerlauf nach</translation>
    </message>
    <message>
        <source>Minutes without input until idle</source>
        <translation>Minuten ohne Eingabe bis zum Leerlauf</translation>
    </message>
    <message>
        <source>Include “Idle” in the total</source>
        <translation>„Leerlauf“ in die Gesamtzeit einrechnen</translation>
    </message>
    <message>
        <source>Takes effect the next time Kestrum opens.</source>
        <translation>Wirkt sich beim nächsten Öffnen von Kestrum aus.</translation>
    </message>
    <message>
        <source>Periodic save</source>
        <translation>Regelmäßiges Speichern</translation>
    </message>
    <message>
        <source>Save the timings at</source>
        <translation>Zeiten speichern um</translation>
    </message>
    <message>
        <source>Time of the periodic save</source>
        <translation>Uhrzeit des regelmäßigen Speicherns</translation>
    </message>
    <message>
        <source>CSV file</source>
        <translation>CSV-Datei</translation>
    </message>
    <message>
        <source>Timing document</source>
        <translation>Zeitendokument</translation>
    </message>
    <message>
        <source>CSV file and timing document</source>
        <translation>CSV-Datei und Zeitendokument</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>On:</source>
        <translation>Wochentage:</translation>
    </message>
    <message>
        <source>Save as:</source>
        <translation>Speichern als:</translation>
    </message>
    <message>
        <source>In:</source>
        <translation>In:</translation>
    </message>
    <message>
        <source>After each save the timings start over.</source>
        <translation>Nach jedem Speichern beginnen die Zeiten von vorn.</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Datenschutz</translation>
    </message>
    <message>
        <source>One application a line</source>
        <translation>Eine Anwendung pro Zeile</translation>
    </message>
    <message>
        <source>One regular expression a line</source>
        <translation>Ein regulärer Ausdruck pro Zeile</translation>
    </message>
    <message>
        <source>Never record the window titles of these applications:</source>
        <translation>Die Fenstertitel dieser Anwendungen nie aufzeichnen:</translation>
    </message>
    <message>
        <source>Record windows whose title matches one of these as &quot;(private)&quot;:</source>
        <translation>Fenster, deren Titel auf einen dieser Ausdrücke passt, als „(private)“ aufzeichnen:</translation>
    </message>
    <message>
        <source>Applies from the next title read on; nothing is recorded before that.</source>
        <translation>Gilt ab dem nächsten gelesenen Titel, noch bevor etwas aufgezeichnet wird.</translation>
    </message>
    <message>
        <source>This computer</source>
        <translation>Dieser Computer</translation>
    </message>
    <message>
        <source>This computer&apos;s name among your computers</source>
        <translation>Name dieses Computers unter Ihren Computern</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Device id:</source>
        <translation>Computerkennung:</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>Arbeitsumgebung</translation>
    </message>
    <message>
        <source>Time away</source>
        <translation>Abwesenheit</translation>
    </message>
    <message>
        <source>Ask what the time away was after</source>
        <translation>Bei Abwesenheit nachfragen ab</translation>
    </message>
    <message>
        <source>the idle time</source>
        <translation>der Leerlaufzeit</translation>
    </message>
    <message>
        <source>Minutes away before Kestrum asks</source>
        <translation>Minuten der Abwesenheit, bevor Kestrum nachfragt</translation>
    </message>
    <message>
        <source>Never idle while an application keeps the screen awake (a film, a call)</source>
        <translation>Nie Leerlauf, solange eine Anwendung den Bildschirm wach hält (ein Film, ein Anruf)</translation>
    </message>
    <message>
        <source>Never idle while one of these applications is in front:</source>
        <translation>Nie Leerlauf, solange eine dieser Anwendungen im Vordergrund ist:</translation>
    </message>
    <message>
        <source>Applications that never go idle</source>
        <translation>Anwendungen ohne Leerlauf</translation>
    </message>
    <message>
        <source>Not a regular expression, so it hides nothing: %1</source>
        <translation>Kein regulärer Ausdruck, daher wird nichts verborgen: %1</translation>
    </message>
    <message>
        <source>none (see the status line)</source>
        <translation>keine (siehe Statuszeile)</translation>
    </message>
    <message>
        <source>Folder Shared with Your Other Computers</source>
        <translation>Mit Ihren anderen Computern gemeinsamer Ordner</translation>
    </message>
    <message>
        <source>None: the history stays on this computer</source>
        <translation>Keiner: Der Verlauf bleibt auf diesem Computer</translation>
    </message>
    <message>
        <source>Folder shared with your other computers</source>
        <translation>Mit Ihren anderen Computern gemeinsamer Ordner</translation>
    </message>
    <message>
        <source>Stop Sharing</source>
        <translation>Nicht mehr teilen</translation>
    </message>
    <message>
        <source>Shared folder:</source>
        <translation>Gemeinsamer Ordner:</translation>
    </message>
    <message>
        <source>Share window titles with my other computers</source>
        <translation>Fenstertitel mit meinen anderen Computern teilen</translation>
    </message>
    <message>
        <source>A folder that Syncthing, Nextcloud or another sync tool keeps in step: each computer writes its own days there and reads the others&apos;.</source>
        <translation>Ein Ordner, den Syncthing, Nextcloud oder ein anderes Synchronisationsprogramm abgleicht: Jeder Computer schreibt dort seine eigenen Tage und liest die der anderen.</translation>
    </message>
    <message>
        <source>Other computers:</source>
        <translation>Andere Computer:</translation>
    </message>
    <message>
        <source>%1: days up to %2, read %3</source>
        <translation>%1: letzter Tag: %2, eingelesen: %3</translation>
    </message>
    <message>
        <source>none</source>
        <comment>no day of another computer&apos;s history yet</comment>
        <translation>keiner</translation>
    </message>
    <message>
        <source>never</source>
        <comment>another computer&apos;s history was never read</comment>
        <translation>nie</translation>
    </message>
    <message>
        <source>None seen yet</source>
        <translation>Noch keine gesehen</translation>
    </message>
    <message numerus="yes">
        <source>minute(s) without input</source>
        <translation>
            <numerusform>Minute ohne Eingabe</numerusform>
            <numerusform>Minuten ohne Eingabe</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> minute(s)</source>
        <translation>
            <numerusform> Minute</numerusform>
            <numerusform> Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>Folder for the Periodic Saves</source>
        <translation>Ordner für das regelmäßige Speichern</translation>
    </message>
    <message>
        <source>Kestrum</source>
        <translation>Kestrum</translation>
    </message>
    <message>
        <source>Kestrum could not be set to open at login.</source>
        <translation>Kestrum konnte nicht so eingestellt werden, dass es bei der Anmeldung geöffnet wird.</translation>
    </message>
    <message>
        <source>Kestrum could not be kept from opening at login.</source>
        <translation>Das Öffnen von Kestrum bei der Anmeldung konnte nicht abgeschaltet werden.</translation>
    </message>
</context>
<context>
    <name>PropertyList</name>
    <message>
        <source>line %1, column %2: %3</source>
        <translation>Zeile %1, Spalte %2: %3</translation>
    </message>
    <message>
        <source>unexpected end of the document</source>
        <translation>unerwartetes Ende des Dokuments</translation>
    </message>
    <message>
        <source>reference to the undeclared entity &amp;%1;</source>
        <translation>Verweis auf die nicht deklarierte Entität &amp;%1;</translation>
    </message>
    <message>
        <source>a document type declaration with an internal subset is not accepted</source>
        <translation>eine Dokumenttyp-Deklaration mit interner Teilmenge wird nicht akzeptiert</translation>
    </message>
    <message>
        <source>text %1 where an element is expected</source>
        <translation>Text %1, wo ein Element erwartet wird</translation>
    </message>
    <message>
        <source>unexpected %1 inside %2</source>
        <translation>unerwartetes %1 in %2</translation>
    </message>
    <message>
        <source>the document holds no &lt;plist&gt; element</source>
        <translation>das Dokument enthält kein &lt;plist&gt;-Element</translation>
    </message>
    <message>
        <source>the root element is %1, not &lt;plist&gt;</source>
        <translation>das Wurzelelement ist %1, nicht &lt;plist&gt;</translation>
    </message>
    <message>
        <source>unsupported property-list version %1</source>
        <translation>nicht unterstützte Property-List-Version %1</translation>
    </message>
    <message>
        <source>&lt;plist&gt; holds no value</source>
        <translation>&lt;plist&gt; enthält keinen Wert</translation>
    </message>
    <message>
        <source>&lt;plist&gt; holds more than one value</source>
        <translation>&lt;plist&gt; enthält mehr als einen Wert</translation>
    </message>
    <message>
        <source>more than %1 nested containers</source>
        <translation>mehr als %1 verschachtelte Container</translation>
    </message>
    <message>
        <source>&lt;key&gt; outside a &lt;dict&gt;</source>
        <translation>&lt;key&gt; außerhalb eines &lt;dict&gt;</translation>
    </message>
    <message>
        <source>unknown element %1</source>
        <translation>unbekanntes Element %1</translation>
    </message>
    <message>
        <source>malformed %1 value %2</source>
        <translation>fehlerhafter %1-Wert %2</translation>
    </message>
    <message>
        <source>%1 value %2 is out of range</source>
        <translation>%1-Wert %2 liegt außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>%1 holds text %2</source>
        <translation>%1 enthält den Text %2</translation>
    </message>
    <message>
        <source>expected &lt;key&gt; in &lt;dict&gt;, found %1</source>
        <translation>&lt;key&gt; in &lt;dict&gt; erwartet, %1 gefunden</translation>
    </message>
    <message>
        <source>key %1 has no value</source>
        <translation>Schlüssel %1 hat keinen Wert</translation>
    </message>
    <message>
        <source>the top level</source>
        <translation>oberste Ebene</translation>
    </message>
    <message>
        <source>cannot write %1 at %2</source>
        <translation>kann %1 nicht schreiben (Stelle: %2)</translation>
    </message>
    <message>
        <source>an invalid date</source>
        <translation>ein ungültiges Datum</translation>
    </message>
    <message>
        <source>a date outside the years 1 to 9999</source>
        <translation>ein Datum außerhalb der Jahre 1 bis 9999</translation>
    </message>
    <message>
        <source>an empty value</source>
        <translation>einen leeren Wert</translation>
    </message>
    <message>
        <source>a value of type %1</source>
        <translation>einen Wert vom Typ %1</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>larger than %1 MiB</source>
        <translation>größer als %1 MiB</translation>
    </message>
</context>
<context>
    <name>SavedState</name>
    <message>
        <source>%1 holds no timings</source>
        <translation>%1 enthält keine Zeiten</translation>
    </message>
</context>
<context>
    <name>Scenario</name>
    <message>
        <source>&quot;at&quot; must be a number of seconds, 0 or more</source>
        <translation>&quot;at&quot; muss eine Anzahl Sekunden sein, 0 oder mehr</translation>
    </message>
    <message>
        <source>&quot;at&quot; is %1: it must be a number of seconds, 0 or more</source>
        <translation>&quot;at&quot; ist %1: es muss eine Anzahl Sekunden sein, 0 oder mehr</translation>
    </message>
    <message>
        <source>&quot;at&quot; is %1 seconds, beyond the longest a scenario may run: ten years of virtual time (%2 seconds)</source>
        <translation>&quot;at&quot; ist %1 Sekunden, mehr als ein Szenario dauern darf: zehn Jahre virtuelle Zeit (%2 Sekunden)</translation>
    </message>
    <message>
        <source>&quot;settings&quot; takes an object of setting keys and values</source>
        <translation>&quot;settings&quot; erwartet ein Objekt mit Einstellungsschlüsseln und -werten</translation>
    </message>
    <message>
        <source>&quot;front&quot; takes {&quot;name&quot;: text or null, &quot;pid&quot;: integer, &quot;accessible&quot;: boolean}</source>
        <translation>&quot;front&quot; erwartet {&quot;name&quot;: Text oder null, &quot;pid&quot;: Ganzzahl, &quot;accessible&quot;: Wahrheitswert}</translation>
    </message>
    <message>
        <source>&quot;window&quot; takes {&quot;pid&quot;: integer, &quot;id&quot;: integer or null, &quot;title&quot;: text or null}</source>
        <translation>&quot;window&quot; erwartet {&quot;pid&quot;: Ganzzahl, &quot;id&quot;: Ganzzahl oder null, &quot;title&quot;: Text oder null}</translation>
    </message>
    <message>
        <source>a window id is a positive integer</source>
        <translation>eine Fenster-ID ist eine positive Ganzzahl</translation>
    </message>
    <message>
        <source>&quot;title&quot; takes {&quot;id&quot;: positive integer, &quot;title&quot;: text or null}</source>
        <translation>&quot;title&quot; erwartet {&quot;id&quot;: positive Ganzzahl, &quot;title&quot;: Text oder null}</translation>
    </message>
    <message>
        <source>this action takes the value true</source>
        <translation>diese Aktion erwartet den Wert true</translation>
    </message>
    <message>
        <source>&quot;power&quot; takes &quot;can-sleep&quot;, &quot;will-sleep&quot;, &quot;will-not-sleep&quot; or &quot;powered-on&quot;</source>
        <translation>&quot;power&quot; erwartet &quot;can-sleep&quot;, &quot;will-sleep&quot;, &quot;will-not-sleep&quot; oder &quot;powered-on&quot;</translation>
    </message>
    <message>
        <source>&quot;session&quot; takes &quot;resign&quot; or &quot;active&quot;</source>
        <translation>&quot;session&quot; erwartet &quot;resign&quot; oder &quot;active&quot;</translation>
    </message>
    <message>
        <source>&quot;accessibility&quot; takes true or false</source>
        <translation>&quot;accessibility&quot; erwartet true oder false</translation>
    </message>
    <message>
        <source>this action takes a file path</source>
        <translation>diese Aktion erwartet einen Dateipfad</translation>
    </message>
    <message>
        <source>&quot;inhibitIdle&quot; takes a list of who holds idle inhibitors ([]: none)</source>
        <translation>&quot;inhibitIdle&quot; erwartet eine Liste derer, die den Leerlauf verhindern ([]: niemand)</translation>
    </message>
    <message>
        <source>&quot;answerAway&quot; takes {&quot;label&quot;: text, &quot;category&quot;: [names]} or {&quot;keepIdle&quot;: true}</source>
        <translation>&quot;answerAway&quot; erwartet {&quot;label&quot;: Text, &quot;category&quot;: [Namen]} oder {&quot;keepIdle&quot;: true}</translation>
    </message>
    <message>
        <source>&quot;forget&quot; takes {&quot;from&quot;: local time, &quot;to&quot;: a later one, &quot;application&quot;: a name or nothing}</source>
        <translation>&quot;forget&quot; erwartet {&quot;from&quot;: Ortszeit, &quot;to&quot;: eine spätere, &quot;application&quot;: ein Name oder nichts}</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>not JSON (%1)</source>
        <translation>kein JSON (%1)</translation>
    </message>
    <message>
        <source>not JSON (%1 at &quot;%2&quot;)</source>
        <translation>kein JSON (%1 bei „%2“)</translation>
    </message>
    <message>
        <source>each line is one JSON object</source>
        <translation>jede Zeile ist ein JSON-Objekt</translation>
    </message>
    <message>
        <source>{&quot;wall&quot;: ...} stands alone, before every other line</source>
        <translation>{&quot;wall&quot;: ...} steht allein, vor allen anderen Zeilen</translation>
    </message>
    <message>
        <source>&quot;wall&quot; takes a local date and time such as &quot;2026-01-05T09:00:00&quot;</source>
        <translation>&quot;wall&quot; erwartet ein lokales Datum mit Uhrzeit wie &quot;2026-01-05T09:00:00&quot;</translation>
    </message>
    <message>
        <source>&quot;at&quot; is %1, earlier than the line before (%2)</source>
        <translation>&quot;at&quot; ist %1, früher als in der Zeile davor (%2)</translation>
    </message>
    <message>
        <source>unknown action &quot;%1&quot;</source>
        <translation>unbekannte Aktion &quot;%1&quot;</translation>
    </message>
    <message>
        <source>a line holds exactly one action</source>
        <translation>eine Zeile enthält genau eine Aktion</translation>
    </message>
    <message>
        <source>the line holds no action</source>
        <translation>die Zeile enthält keine Aktion</translation>
    </message>
</context>
<context>
    <name>ScenarioRunner</name>
    <message numerus="yes">
        <source>%n second(s) of history could not be written: %1</source>
        <translation>
            <numerusform>%n Sekunde des Verlaufs konnte nicht geschrieben werden: %1</numerusform>
            <numerusform>%n Sekunden des Verlaufs konnten nicht geschrieben werden: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot store the timings: %1</source>
        <translation>die Zeiten können nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>&quot;forget&quot;: no history is recorded (run with --home)</source>
        <translation>&quot;forget&quot;: es wird kein Verlauf aufgezeichnet (mit --home ausführen)</translation>
    </message>
    <message>
        <source>&quot;answerAway&quot;: no time away is waiting for an answer</source>
        <translation>&quot;answerAway&quot;: keine Abwesenheit wartet auf eine Antwort</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>the date %1</source>
        <translation>das Datum %1</translation>
    </message>
    <message numerus="yes">
        <source>data of %Ln byte(s)</source>
        <translation>
            <numerusform>ein Datenblock von %Ln Byte</numerusform>
            <numerusform>ein Datenblock von %Ln Bytes</numerusform>
        </translation>
    </message>
    <message>
        <source>a list</source>
        <translation>eine Liste</translation>
    </message>
    <message>
        <source>a dictionary</source>
        <translation>ein Wörterbuch</translation>
    </message>
    <message>
        <source>yes</source>
        <comment>a setting&apos;s value</comment>
        <translation>Ja</translation>
    </message>
    <message>
        <source>no</source>
        <comment>a setting&apos;s value</comment>
        <translation>Nein</translation>
    </message>
    <message>
        <source>an empty list</source>
        <translation>eine leere Liste</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which is neither yes nor no; %3 is used instead.</source>
        <translation>Die Einstellung %1 ist %2 und damit weder Ja noch Nein; stattdessen wird %3 verwendet.</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which is no number; %3 is used instead.</source>
        <translation>Die Einstellung %1 ist %2 und damit keine Zahl; stattdessen wird %3 verwendet.</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which is no time of day (HH:MM); %3 is used instead.</source>
        <translation>Die Einstellung %1 ist %2 und damit keine Uhrzeit (HH:MM); stattdessen wird %3 verwendet.</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which names no folder; %3 is used instead.</source>
        <translation>Die Einstellung %1 ist %2 und bezeichnet damit keinen Ordner; stattdessen wird %3 verwendet.</translation>
    </message>
    <message>
        <source>The setting %1 is %2, which is no list of text; %3 is used instead.</source>
        <translation>Die Einstellung %1 ist %2 und damit keine Liste von Texten; stattdessen wird %3 verwendet.</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>nichts</translation>
    </message>
    <message numerus="yes">
        <source>The setting %1 holds %n entry(s) that are not text; only its text is used: %2.</source>
        <translation>
            <numerusform>Die Einstellung %1 enthält %n Eintrag, der kein Text ist; nur die Texteinträge werden verwendet: %2.</numerusform>
            <numerusform>Die Einstellung %1 enthält %n Einträge, die kein Text sind; nur die Texteinträge werden verwendet: %2.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>the file holds no dictionary</source>
        <translation>die Datei enthält kein Wörterbuch</translation>
    </message>
    <message>
        <source>Some settings in %1 cannot be read; until they are set again in Preferences:
%2</source>
        <translation>Einige Einstellungen in %1 können nicht gelesen werden. Bis Sie sie in den Einstellungen neu festlegen, gilt:
%2</translation>
    </message>
    <message>
        <source>Could not read the settings file %1 (%2); it was moved to %3 and Kestrum starts from the defaults.</source>
        <translation>Die Einstellungsdatei %1 konnte nicht gelesen werden (%2); sie wurde nach %3 verschoben, und Kestrum beginnt mit den Standardeinstellungen.</translation>
    </message>
    <message>
        <source>Could not read the settings file %1 (%2) nor move it aside; Kestrum starts from the defaults and will not overwrite it.</source>
        <translation>Die Einstellungsdatei %1 konnte weder gelesen (%2) noch beiseitegelegt werden; Kestrum beginnt mit den Standardeinstellungen und wird sie nicht überschreiben.</translation>
    </message>
    <message>
        <source>%1 could not be read and is kept as it is</source>
        <translation>%1 konnte nicht gelesen werden und bleibt unverändert</translation>
    </message>
</context>
<context>
    <name>SharedCategories</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the categories are in %1 now, but %2 could not be removed</source>
        <translation>die Kategorien liegen jetzt in %1, aber %2 konnte nicht entfernt werden</translation>
    </message>
    <message>
        <source>cannot remove %1</source>
        <translation>%1 kann nicht entfernt werden</translation>
    </message>
</context>
<context>
    <name>SharedFolder</name>
    <message>
        <source>the shared folder %1 is not there</source>
        <translation>der gemeinsame Ordner %1 ist nicht vorhanden</translation>
    </message>
    <message>
        <source>the history of %1 cannot be read: %2</source>
        <translation>der Verlauf vom %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>cannot remove %1</source>
        <translation>%1 kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>The shared folder %1 is not there: nothing is shared until it is.</source>
        <translation>Der gemeinsame Ordner %1 ist nicht vorhanden: Bis er wieder da ist, wird nichts geteilt.</translation>
    </message>
    <message>
        <source>%1 is not a device&apos;s folder: left alone.</source>
        <translation>%1 ist kein Ordner eines Computers und bleibt unberührt.</translation>
    </message>
    <message>
        <source>it names another device, %1</source>
        <translation>die Datei nennt einen anderen Computer, %1</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2): that computer&apos;s days are left as they were.</source>
        <translation>%1 kann nicht gelesen werden (%2): Die Tage dieses Computers bleiben, wie sie waren.</translation>
    </message>
    <message>
        <source>The history cannot be read to import %1: %2</source>
        <translation>Der Verlauf kann nicht gelesen werden, um %1 zu importieren: %2</translation>
    </message>
    <message>
        <source>%1 is not imported: %2.</source>
        <translation>%1 wird nicht importiert: %2.</translation>
    </message>
    <message>
        <source>it holds another device&apos;s day</source>
        <translation>die Datei enthält den Tag eines anderen Computers</translation>
    </message>
    <message>
        <source>%1 cannot be imported into the history: %2</source>
        <translation>%1 kann nicht in den Verlauf importiert werden: %2</translation>
    </message>
    <message>
        <source>%1/%2 is a sync tool&apos;s conflict copy: left alone.</source>
        <translation>%1/%2 ist eine Konfliktkopie eines Synchronisierungsprogramms und bleibt unberührt.</translation>
    </message>
    <message>
        <source>%1/%2 is not one of its days: left alone.</source>
        <translation>%1/%2 ist keiner seiner Tage und bleibt unberührt.</translation>
    </message>
</context>
<context>
    <name>SharedFolderSync</name>
    <message>
        <source>The shared folder holds later days of this computer&apos;s id (%1) than it recorded: another computer, started from a copy of this one&apos;s data folder, writes as it. This computer takes an id of its own.</source>
        <translation>Der gemeinsame Ordner enthält unter der Kennung dieses Computers (%1) spätere Tage, als er aufgezeichnet hat: Ein anderer Computer, gestartet mit einer Kopie dieses Datenordners, schreibt unter derselben Kennung. Dieser Computer erhält eine eigene Kennung.</translation>
    </message>
    <message>
        <source>This computer&apos;s days cannot be written to the shared folder: %1</source>
        <translation>Die Tage dieses Computers können nicht in den gemeinsamen Ordner geschrieben werden: %1</translation>
    </message>
    <message>
        <source>The shared folder cannot be written: %1</source>
        <translation>In den gemeinsamen Ordner kann nicht geschrieben werden: %1</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>it does not answer at %1: %2</source>
        <comment>Kestrum is already running, but it does not answer</comment>
        <translation>es antwortet nicht unter %1: %2</translation>
    </message>
    <message>
        <source>the path is too long for a socket</source>
        <translation>der Pfad ist zu lang für einen Socket</translation>
    </message>
    <message>
        <source>no reply</source>
        <comment>the running Kestrum did not answer</comment>
        <translation>keine Antwort</translation>
    </message>
</context>
<context>
    <name>SqliteStatement</name>
    <message>
        <source>while writing</source>
        <translation>beim Schreiben</translation>
    </message>
    <message>
        <source>while reading</source>
        <translation>beim Lesen</translation>
    </message>
    <message>
        <source>while syncing to the disk</source>
        <translation>beim Synchronisieren auf den Datenträger</translation>
    </message>
    <message>
        <source>while truncating</source>
        <translation>beim Kürzen</translation>
    </message>
</context>
<context>
    <name>StandardOutput</name>
    <message>
        <source>cannot write to standard output: %1</source>
        <translation>in die Standardausgabe kann nicht geschrieben werden: %1</translation>
    </message>
</context>
<context>
    <name>SumOfTimesLabel</name>
    <message>
        <source>The total of the selected entries, or of everything when nothing is selected. Click to clear the selection.</source>
        <translation>Die Summe der ausgewählten Einträge oder, wenn nichts ausgewählt ist, aller Einträge. Klicken Sie, um die Auswahl aufzuheben.</translation>
    </message>
</context>
<context>
    <name>TimeTracker</name>
    <message>
        <source>Kestrum is now able to keep track of the active time spent in each document as well as in each application. However to enable this support you must turn on support for assistive devices in the Universal Access preference panel.</source>
        <translation>Kestrum kann jetzt die aktive Zeit in jedem Dokument wie auch in jeder Anwendung erfassen. Dazu müssen Sie jedoch in den Einstellungen zur Barrierefreiheit die Unterstützung für Hilfsgeräte einschalten.</translation>
    </message>
    <message>
        <source>Open System Preferences</source>
        <translation>Systemeinstellungen öffnen</translation>
    </message>
    <message>
        <source>Disable and Don&apos;t Ask Again</source>
        <translation>Deaktivieren und nicht mehr fragen</translation>
    </message>
    <message>
        <source>Ignore This Time</source>
        <translation>Diesmal ignorieren</translation>
    </message>
</context>
<context>
    <name>TimelineStrip</name>
    <message>
        <source>Timeline</source>
        <translation>Zeitleiste</translation>
    </message>
    <message>
        <source>The day&apos;s stretches. Arrow keys move between them; Enter or the context menu offers what to do with the selection.</source>
        <translation>Die Abschnitte des Tages. Mit den Pfeiltasten wechseln Sie zwischen ihnen; die Eingabetaste oder das Kontextmenü bietet an, was mit der Auswahl geschehen soll.</translation>
    </message>
    <message>
        <source>
Added by you</source>
        <translation>
Von Ihnen hinzugefügt</translation>
    </message>
    <message>
        <source>
Added by you: %1</source>
        <translation>
Von Ihnen hinzugefügt: %1</translation>
    </message>
    <message>
        <source>
Your answer for time away</source>
        <translation>
Ihre Antwort zur Abwesenheit</translation>
    </message>
    <message>
        <source>
Renamed by you; recorded as %1</source>
        <translation>
Von Ihnen umbenannt; aufgezeichnet als %1</translation>
    </message>
    <message>
        <source>
On %1</source>
        <translation>
Computer: %1</translation>
    </message>
    <message>
        <source>
Partly covered by added time</source>
        <translation>
Teilweise von hinzugefügter Zeit überdeckt</translation>
    </message>
    <message>
        <source>
Covered by added time: not counted</source>
        <translation>
Von hinzugefügter Zeit überdeckt: nicht gezählt</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>application: window title</comment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>Timesheet</name>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
</context>
<context>
    <name>TimingTable</name>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Show Kestrum</source>
        <translation>Kestrum anzeigen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Kestrum is counting</source>
        <translation>Kestrum zählt</translation>
    </message>
    <message>
        <source>Kestrum is paused</source>
        <translation>Kestrum ist angehalten</translation>
    </message>
</context>
<context>
    <name>WaylandConnection</name>
    <message>
        <source>cannot connect to the Wayland display &quot;%1&quot;: %2</source>
        <translation>keine Verbindung zur Wayland-Anzeige „%1“ möglich: %2</translation>
    </message>
    <message>
        <source>the Wayland compositor does not answer</source>
        <translation>der Wayland-Compositor antwortet nicht</translation>
    </message>
</context>
<context>
    <name>WlrootsDesktop</name>
    <message>
        <source>the Wayland compositor does not list its windows (it offers no %1)</source>
        <translation>der Wayland-Compositor listet seine Fenster nicht auf (%1 wird nicht angeboten)</translation>
    </message>
    <message>
        <source>the Wayland compositor does not answer</source>
        <translation>der Wayland-Compositor antwortet nicht</translation>
    </message>
</context>
<context>
    <name>X11Desktop</name>
    <message>
        <source>the display name is malformed</source>
        <translation>der Anzeigename ist ungültig</translation>
    </message>
    <message>
        <source>it has no such screen</source>
        <translation>der angegebene Bildschirm existiert dort nicht</translation>
    </message>
    <message>
        <source>no X server answers there</source>
        <translation>dort antwortet kein X-Server</translation>
    </message>
    <message>
        <source>cannot open the X display &quot;%1&quot;: %2</source>
        <translation>die X-Anzeige „%1“ kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>the X display does not answer</source>
        <translation>die X-Anzeige antwortet nicht</translation>
    </message>
</context>
<context>
    <name>kestrum</name>
    <message>
        <source>cannot connect to the Wayland display &quot;%1&quot;: %2</source>
        <translation>keine Verbindung zur Wayland-Anzeige „%1“ möglich: %2</translation>
    </message>
    <message>
        <source>this Qt cannot show windows on Wayland, and DISPLAY names no X server</source>
        <translation>dieses Qt kann keine Fenster unter Wayland anzeigen, und DISPLAY nennt keinen X-Server</translation>
    </message>
    <message>
        <source>no display to show Kestrum&apos;s window on (DISPLAY is not set)</source>
        <translation>keine Anzeige für das Fenster von Kestrum (DISPLAY ist nicht gesetzt)</translation>
    </message>
    <message>
        <source>Kestrum measures how long you actively work in each application and in each of its windows.</source>
        <translation>Kestrum misst, wie lange Sie in jeder Anwendung und in jedem ihrer Fenster aktiv arbeiten.</translation>
    </message>
    <message>
        <source>Start counting at once.</source>
        <translation>Die Zählung sofort starten.</translation>
    </message>
    <message>
        <source>Kestrum is already running, but %1</source>
        <translation>Kestrum läuft bereits, aber %1</translation>
    </message>
    <message>
        <source>Kestrum is already running; its window was brought to the front</source>
        <translation>Kestrum läuft bereits; sein Fenster wurde in den Vordergrund geholt</translation>
    </message>
    <message>
        <source>the history cannot be written now (%1); %2 as soon as it can be</source>
        <extracomment>%2 is what is done then, as &quot;it is forgotten&quot; or &quot;the time is assigned&quot;</extracomment>
        <translation>der Verlauf kann gerade nicht geschrieben werden (%1); %2, sobald es möglich ist</translation>
    </message>
    <message>
        <source>the history is busy; %1 as soon as what is being written is written</source>
        <extracomment>%1 is what is done then, as &quot;it is forgotten&quot; or &quot;the time is assigned&quot;</extracomment>
        <translation>der Verlauf ist gerade belegt; %1, sobald das gerade Geschriebene fertig ist</translation>
    </message>
    <message>
        <source>it is forgotten</source>
        <extracomment>what is done with a range of the history once it can be written</extracomment>
        <translation>es wird vergessen</translation>
    </message>
    <message>
        <source>the time is assigned</source>
        <extracomment>what is done with a range of the history once it can be written</extracomment>
        <translation>die Zeit wird zugeordnet</translation>
    </message>
    <message>
        <source>the change is kept</source>
        <extracomment>what is done with a change of the added time once the history can be written</extracomment>
        <translation>die Änderung wird übernommen</translation>
    </message>
    <message>
        <source>The connection to the display was lost: windows are no longer watched.</source>
        <translation>Die Verbindung zur Anzeige wurde unterbrochen: Fenster werden nicht mehr beobachtet.</translation>
    </message>
    <message>
        <source>Sleep, session switches and time-zone changes are not followed: the system bus does not answer (%1).</source>
        <translation>Ruhezustand, Sitzungswechsel und Zeitzonenänderungen werden nicht verfolgt: Der Systembus antwortet nicht (%1).</translation>
    </message>
    <message>
        <source>the timings could not be saved: %1</source>
        <translation>die Zeiten konnten nicht gespeichert werden: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n second(s) of history could not be written and are lost: %1</source>
        <translation>
            <numerusform>%n Sekunde Verlauf konnte nicht geschrieben werden und ist verloren: %1</numerusform>
            <numerusform>%n Sekunden Verlauf konnten nicht geschrieben werden und sind verloren: %1</numerusform>
        </translation>
    </message>
</context>
</TS>
