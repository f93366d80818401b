<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>About</name>
    <message>
        <source>Version 1.0, Alpha</source>
        <translation>Version 1.0, Alpha</translation>
    </message>
</context>
<context>
    <name>Access</name>
    <message>
        <source>The waveform of the channel: click to place the cursor, drag to select, Shift+click to select across all channels</source>
        <translation>Die Wellenform des Kanals: Klicken setzt den Cursor, Ziehen wählt aus, Umschalt+Klick wählt über alle Kanäle aus</translation>
    </message>
    <message>
        <source>Time line</source>
        <translation>Zeitleiste</translation>
    </message>
    <message>
        <source>Seconds %1 to %2 of the sound</source>
        <translation>Sekunden %1 bis %2 der Audiodaten</translation>
    </message>
    <message>
        <source>Seconds from the start of the sound above the channels</source>
        <translation>Sekunden ab dem Anfang der Audiodaten, über den Kanälen</translation>
    </message>
    <message>
        <source>Recording level</source>
        <translation>Aufnahmepegel</translation>
    </message>
    <message>
        <source>Channel %1 of %2</source>
        <translation>Kanal %1 von %2</translation>
    </message>
    <message>
        <source>Playing at %1 seconds, from %2 to %3</source>
        <translation>Wiedergabe bei %1 Sekunden, von %2 bis %3</translation>
    </message>
    <message>
        <source>Nothing selected</source>
        <translation>Nichts ausgewählt</translation>
    </message>
    <message>
        <source>Nothing selected here: the selection is on channel %1</source>
        <translation>Hier ist nichts ausgewählt: Die Auswahl liegt auf Kanal %1</translation>
    </message>
    <message>
        <source>Cursor at %1 seconds</source>
        <translation>Cursor bei %1 Sekunden</translation>
    </message>
    <message>
        <source>Selected from %1 to %2 seconds, %3 seconds long</source>
        <translation>Ausgewählt von %1 bis %2 Sekunden, %3 Sekunden lang</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>Modified state</source>
        <translation>Änderungsstatus</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>Amplitude</name>
    <message>
        <source>Amplitude</source>
        <translation>Amplitude</translation>
    </message>
    <message>
        <source>&amp;Adjust Volume</source>
        <translation>Lautstärke &amp;anpassen</translation>
    </message>
</context>
<context>
    <name>Clipboard</name>
    <message>
        <source>The selection is too large for the clipboard: sound is exchanged as a WAV file, which holds at most 4 GB. Select a shorter range.</source>
        <translation>Die Auswahl ist zu groß für die Zwischenablage: Audiodaten werden als WAV-Datei ausgetauscht, die höchstens 4 GB fasst. Wählen Sie einen kürzeren Bereich.</translation>
    </message>
    <message>
        <source>Could not put the sound on the clipboard: %1</source>
        <translation>Die Audiodaten konnten nicht in die Zwischenablage gelegt werden: %1</translation>
    </message>
    <message>
        <source>Not enough memory</source>
        <translation>Nicht genügend Arbeitsspeicher</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Brimvale, a sound editor. Opens each sound file named (names of files that do not exist are skipped), or a new untitled sound.</source>
        <translation>Brimvale, ein Audioeditor. Öffnet jede genannte Audiodatei (Namen nicht vorhandener Dateien werden übergangen) oder neue, unbenannte Audiodaten.</translation>
    </message>
    <message>
        <source>Shows this help and ends.</source>
        <translation>Zeigt diese Hilfe an und beendet das Programm.</translation>
    </message>
    <message>
        <source>Shows the version and ends.</source>
        <translation>Zeigt die Version an und beendet das Programm.</translation>
    </message>
    <message>
        <source>Sound files to open.</source>
        <translation>Zu öffnende Audiodateien.</translation>
    </message>
    <message>
        <source>Usage: %1 [options] [files...]</source>
        <translation>Aufruf: %1 [Optionen] [Dateien...]</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>Weitere Informationen mit „%1 --help“.</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Sound</source>
        <translation>A&amp;udio</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Vo&amp;lume</source>
        <translation>&amp;Lautstärke</translation>
    </message>
    <message>
        <source>&amp;Effect</source>
        <translation>&amp;Effekt</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;New	Ctrl+N</source>
        <translation>&amp;Neu	Strg+N</translation>
    </message>
    <message>
        <source>&amp;Open...	Ctrl+O</source>
        <translation>Ö&amp;ffnen...	Strg+O</translation>
    </message>
    <message>
        <source>E&amp;xit	Ctrl+Q</source>
        <translation>&amp;Beenden	Strg+Q</translation>
    </message>
    <message>
        <source>&amp;Show Clipboard</source>
        <translation>&amp;Zwischenablage anzeigen</translation>
    </message>
    <message>
        <source>&amp;User Guide	F1</source>
        <translation>&amp;Handbuch	F1</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>Ü&amp;berlappend</translation>
    </message>
    <message>
        <source>&amp;Vertical</source>
        <translation>&amp;Vertikal</translation>
    </message>
    <message>
        <source>&amp;Horizontal</source>
        <translation>&amp;Horizontal</translation>
    </message>
    <message>
        <source>Arrange &amp;Icons</source>
        <translation>&amp;Symbole anordnen</translation>
    </message>
    <message>
        <source>C&amp;lose All</source>
        <translation>&amp;Alle schließen</translation>
    </message>
    <message>
        <source>Zoom to Se&amp;lection	Ctrl+E</source>
        <translation>Auf &amp;Auswahl zoomen	Strg+E</translation>
    </message>
    <message>
        <source>&amp;Loudness...</source>
        <translation>&amp;Lautheit...</translation>
    </message>
    <message>
        <source>M&amp;easure...</source>
        <translation>&amp;Messen...</translation>
    </message>
    <message>
        <source>&amp;Normalize...</source>
        <translation>Nor&amp;malisieren...</translation>
    </message>
    <message>
        <source>Pre&amp;ferences...	Ctrl+,</source>
        <translation>E&amp;instellungen...	Strg+,</translation>
    </message>
    <message>
        <source>&amp;Spectrogram</source>
        <translation>&amp;Spektrogramm</translation>
    </message>
    <message>
        <source>Taller Channels</source>
        <translation>Kanäle höher</translation>
    </message>
    <message>
        <source>Shorter Channels</source>
        <translation>Kanäle niedriger</translation>
    </message>
    <message>
        <source>Command %1</source>
        <translation>Befehl %1</translation>
    </message>
    <message>
        <source>keys: </source>
        <translation>Tasten: </translation>
    </message>
    <message>
        <source>Playback volume</source>
        <translation>Wiedergabelautstärke</translation>
    </message>
    <message>
        <source>The volume of playback, loudest at the top; also the Volume menu</source>
        <translation>Die Lautstärke der Wiedergabe, oben am lautesten; auch im Menü Lautstärke</translation>
    </message>
    <message>
        <source>&amp;Save	Ctrl+S</source>
        <translation>&amp;Speichern	Strg+S</translation>
    </message>
    <message>
        <source>Save &amp;As...	Ctrl+Shift+S</source>
        <translation>Speichern &amp;unter...	Strg+Umschalt+S</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Close	Ctrl+W</source>
        <translation>S&amp;chließen	Strg+W</translation>
    </message>
    <message>
        <source>&amp;Play	Ctrl+P</source>
        <translation>&amp;Wiedergabe	Strg+P</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Wiedergabe</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>&amp;Record	Ctrl+R</source>
        <translation>&amp;Aufnahme	Strg+R</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufnahme</translation>
    </message>
    <message>
        <source>Level &amp;0</source>
        <translation>Stufe &amp;0</translation>
    </message>
    <message>
        <source>Level &amp;1</source>
        <translation>Stufe &amp;1</translation>
    </message>
    <message>
        <source>Level &amp;2</source>
        <translation>Stufe &amp;2</translation>
    </message>
    <message>
        <source>Level &amp;3</source>
        <translation>Stufe &amp;3</translation>
    </message>
    <message>
        <source>Level &amp;4</source>
        <translation>Stufe &amp;4</translation>
    </message>
    <message>
        <source>Level &amp;5</source>
        <translation>Stufe &amp;5</translation>
    </message>
    <message>
        <source>Level &amp;6</source>
        <translation>Stufe &amp;6</translation>
    </message>
    <message>
        <source>Level &amp;7</source>
        <translation>Stufe &amp;7</translation>
    </message>
    <message>
        <source>&amp;Undo	Ctrl+Z</source>
        <translation>&amp;Rückgängig	Strg+Z</translation>
    </message>
    <message>
        <source>Redo	Ctrl+Z</source>
        <translation>Wiederherstellen	Strg+Z</translation>
    </message>
    <message>
        <source>&amp;Undo %1	Ctrl+Z</source>
        <translation>&amp;Rückgängig: %1	Strg+Z</translation>
    </message>
    <message>
        <source>&amp;Redo	Ctrl+Shift+Z</source>
        <translation>&amp;Wiederherstellen	Strg+Umschalt+Z</translation>
    </message>
    <message>
        <source>&amp;Redo %1	Ctrl+Shift+Z</source>
        <translation>&amp;Wiederherstellen: %1	Strg+Umschalt+Z</translation>
    </message>
    <message>
        <source>Cu&amp;t	Ctrl+X</source>
        <translation>Aus&amp;schneiden	Strg+X</translation>
    </message>
    <message>
        <source>&amp;Copy	Ctrl+C</source>
        <translation>&amp;Kopieren	Strg+C</translation>
    </message>
    <message>
        <source>&amp;Paste	Ctrl+V</source>
        <translation>&amp;Einfügen	Strg+V</translation>
    </message>
    <message>
        <source>&amp;Delete	Delete</source>
        <translation>&amp;Löschen	Entf</translation>
    </message>
    <message>
        <source>Select &amp;All	Ctrl+A</source>
        <translation>&amp;Alles auswählen	Strg+A</translation>
    </message>
    <message>
        <source>D&amp;e-Select	Escape</source>
        <translation>Auswahl auf&amp;heben	Esc</translation>
    </message>
    <message>
        <source>&amp;Silence</source>
        <translation>&amp;Stille</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Silence</source>
        <translation>Stille</translation>
    </message>
    <message>
        <source>A&amp;ll Channels	Shift+Click</source>
        <translation>Alle Ka&amp;näle	Umschalt+Klick</translation>
    </message>
    <message>
        <source>&amp;Echo...</source>
        <translation>&amp;Echo...</translation>
    </message>
    <message>
        <source>Echo</source>
        <translation>Echo</translation>
    </message>
    <message>
        <source>&amp;Backwards</source>
        <translation>&amp;Rückwärts</translation>
    </message>
    <message>
        <source>Backwards</source>
        <translation>Rückwärts</translation>
    </message>
    <message>
        <source>&amp;Pitch...</source>
        <translation>&amp;Tonhöhe...</translation>
    </message>
    <message>
        <source>Pitch</source>
        <translation>Tonhöhe</translation>
    </message>
    <message>
        <source>&amp;Vibro...</source>
        <translation>&amp;Vibro...</translation>
    </message>
    <message>
        <source>&amp;Amplitude...</source>
        <translation>&amp;Amplitude...</translation>
    </message>
    <message>
        <source>Amplify</source>
        <translation>Verstärken</translation>
    </message>
    <message>
        <source>Fade &amp;In</source>
        <translation>E&amp;inblenden</translation>
    </message>
    <message>
        <source>Fade In</source>
        <translation>Einblenden</translation>
    </message>
    <message>
        <source>Fade &amp;Out</source>
        <translation>A&amp;usblenden</translation>
    </message>
    <message>
        <source>Fade Out</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>Other &amp;Effect...</source>
        <translation>Anderer Effe&amp;kt...</translation>
    </message>
    <message>
        <source>Sound &amp;Format</source>
        <translation>Audio&amp;format</translation>
    </message>
    <message>
        <source>&amp;Add Track</source>
        <translation>Spur &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Add Track</source>
        <translation>Neue Spur</translation>
    </message>
    <message>
        <source>&amp;Delete Track</source>
        <translation>Spur &amp;löschen</translation>
    </message>
    <message>
        <source>Delete Track</source>
        <translation>Spur löschen</translation>
    </message>
    <message>
        <source>&amp;Merge Tracks</source>
        <translation>Spuren &amp;zusammenführen</translation>
    </message>
    <message>
        <source>Mix Tracks</source>
        <translation>Mischen</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>Zoom &amp;In	Ctrl++</source>
        <translation>&amp;Vergrößern	Strg++</translation>
    </message>
    <message>
        <source>Zoom &amp;Out	Ctrl+-</source>
        <translation>Ver&amp;kleinern	Strg+-</translation>
    </message>
    <message>
        <source>Fit To Window	=</source>
        <translation>An Fenster anpassen	=</translation>
    </message>
</context>
<context>
    <name>Echo</name>
    <message>
        <source>Echo Options</source>
        <translation>Echo-Optionen</translation>
    </message>
    <message>
        <source>&amp;Delay:</source>
        <translation>&amp;Abstand:</translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>&amp;Volume:</source>
        <translation>&amp;Pegel:</translation>
    </message>
</context>
<context>
    <name>Effect</name>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Filtering...</source>
        <translation>Filtern...</translation>
    </message>
    <message>
        <source>Previewing...</source>
        <translation>Vorschau läuft...</translation>
    </message>
    <message>
        <source>Effect name not found</source>
        <translation>Effektname nicht gefunden</translation>
    </message>
    <message>
        <source>Wrong arguments for the effect %1</source>
        <translation>Falsche Argumente für den Effekt %1</translation>
    </message>
    <message>
        <source>Tmpfile write error</source>
        <translation>Fehler beim Schreiben der temporären Datei</translation>
    </message>
    <message>
        <source>Tmpfile read error</source>
        <translation>Fehler beim Lesen der temporären Datei</translation>
    </message>
    <message>
        <source>The effect %1 failed</source>
        <translation>Der Effekt %1 ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>The sample rate of the sound is not known</source>
        <translation>Die Abtastrate der Audiodaten ist nicht bekannt</translation>
    </message>
    <message>
        <source>The effect %1 could not start</source>
        <translation>Der Effekt %1 konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>The effect %1 does not give one channel</source>
        <translation>Der Effekt %1 liefert nicht genau einen Kanal</translation>
    </message>
    <message>
        <source>echo: at most 7 delays are possible</source>
        <translation>echo: höchstens 7 Verzögerungen sind möglich</translation>
    </message>
</context>
<context>
    <name>FileChoice</name>
    <message>
        <source>All sound files (%1)</source>
        <translation>Alle Audiodateien (%1)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Open Sound File</source>
        <translation>Audiodatei öffnen</translation>
    </message>
    <message>
        <source>Save Sound File</source>
        <translation>Audiodatei speichern</translation>
    </message>
</context>
<context>
    <name>Frame</name>
    <message>
        <source>The user guide is not installed.</source>
        <translation>Das Benutzerhandbuch ist nicht installiert.</translation>
    </message>
    <message>
        <source>The user guide could not be opened: no web browser or help program answers.

It is the file %1</source>
        <translation>Das Benutzerhandbuch konnte nicht geöffnet werden: Kein Webbrowser und kein Hilfeprogramm antwortet.

Es ist die Datei %1</translation>
    </message>
</context>
<context>
    <name>Loudness</name>
    <message>
        <source>Loudness</source>
        <translation>Lautheit</translation>
    </message>
    <message>
        <source>Adjusting loudness...</source>
        <translation>Lautheit anpassen...</translation>
    </message>
    <message>
        <source>&amp;Target loudness:</source>
        <translation>&amp;Ziel-Lautheit:</translation>
    </message>
    <message>
        <source>EBU R128 (-2&amp;3)</source>
        <translation>EBU R128 (-2&amp;3)</translation>
    </message>
    <message>
        <source>Stream (-1&amp;6)</source>
        <translation>Stream (-1&amp;6)</translation>
    </message>
    <message>
        <source>Stream (-1&amp;4)</source>
        <translation>Stream (-1&amp;4)</translation>
    </message>
    <message>
        <source>True &amp;peak limit:</source>
        <translation>True-&amp;Peak-Grenze:</translation>
    </message>
    <message>
        <source>The target loudness must be a number from -70 to 0 LUFS.</source>
        <translation>Die Ziel-Lautheit muss eine Zahl von -70 bis 0 LUFS sein.</translation>
    </message>
    <message>
        <source>The true peak limit must be a number from -20 to 0 dBTP.</source>
        <translation>Die True-Peak-Grenze muss eine Zahl von -20 bis 0 dBTP sein.</translation>
    </message>
    <message>
        <source>Measuring loudness...</source>
        <translation>Lautheit messen...</translation>
    </message>
    <message>
        <source>The range is too short or too quiet to measure its loudness (it needs at least 0.4 seconds of sound above -70 LUFS).</source>
        <translation>Der Bereich ist zu kurz oder zu leise, um seine Lautheit zu messen (nötig sind mindestens 0,4 Sekunden Audio über -70 LUFS).</translation>
    </message>
    <message>
        <source>The loudness could not be measured: out of memory.</source>
        <translation>Die Lautheit konnte nicht gemessen werden: Nicht genügend Arbeitsspeicher.</translation>
    </message>
</context>
<context>
    <name>Measure</name>
    <message>
        <source>Measuring...</source>
        <translation>Messen...</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>Messen</translation>
    </message>
    <message>
        <source>Integrated (LUFS)</source>
        <translation>Integriert (LUFS)</translation>
    </message>
    <message>
        <source>Range (LU)</source>
        <translation>Bereich (LU)</translation>
    </message>
    <message>
        <source>True peak (dBTP)</source>
        <translation>True Peak (dBTP)</translation>
    </message>
    <message>
        <source>Sample peak (dBFS)</source>
        <translation>Spitzenwert (dBFS)</translation>
    </message>
    <message>
        <source>RMS (dBFS)</source>
        <translation>RMS (dBFS)</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>All channels</source>
        <translation>Alle Kanäle</translation>
    </message>
    <message>
        <source>From %1 to %2</source>
        <translation>Von %1 bis %2</translation>
    </message>
</context>
<context>
    <name>Normalize</name>
    <message>
        <source>Normalize</source>
        <translation>Normalisieren</translation>
    </message>
    <message>
        <source>Normalizing...</source>
        <translation>Normalisieren...</translation>
    </message>
    <message>
        <source>&amp;Peak level:</source>
        <translation>&amp;Zielpegel:</translation>
    </message>
    <message>
        <source>&amp;Each channel on its own</source>
        <translation>&amp;Jeden Kanal einzeln</translation>
    </message>
    <message>
        <source>&amp;All channels together</source>
        <translation>&amp;Alle Kanäle gemeinsam</translation>
    </message>
    <message>
        <source>The peak level must be a number from -100 to 0 dBFS.</source>
        <translation>Der Zielpegel muss eine Zahl von -100 bis 0 dBFS sein.</translation>
    </message>
</context>
<context>
    <name>OtherEffect</name>
    <message>
        <source>Other Effect</source>
        <translation>Anderer Effekt</translation>
    </message>
    <message>
        <source>&amp;Effect:</source>
        <translation>&amp;Effekt:</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effekt</translation>
    </message>
    <message>
        <source>Arguments</source>
        <translation>Argumente</translation>
    </message>
    <message>
        <source>&amp;Arguments:</source>
        <translation>&amp;Argumente:</translation>
    </message>
</context>
<context>
    <name>Pitch</name>
    <message>
        <source>Pitch Options</source>
        <translation>Tonhöhenoptionen</translation>
    </message>
    <message>
        <source>Old Duration</source>
        <translation>Alte Dauer</translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>Relative Change</source>
        <translation>Relative Änderung</translation>
    </message>
    <message>
        <source>New Duration</source>
        <translation>Neue Dauer</translation>
    </message>
    <message>
        <source>Resampling...</source>
        <translation>Neuabtastung...</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Editing</source>
        <translation>Bearbeitung</translation>
    </message>
    <message>
        <source>&amp;Undo levels:</source>
        <translation>&amp;Rückgängig-Stufen:</translation>
    </message>
    <message>
        <source>&amp;Arrow keys move the cursor (Shift extends the selection)</source>
        <translation>&amp;Pfeiltasten bewegen den Cursor (Umschalt erweitert die Auswahl)</translation>
    </message>
    <message>
        <source>&amp;Scroll during playback</source>
        <translation>Während der Wiedergabe &amp;scrollen</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Effect &amp;preview:</source>
        <translation>Effekt&amp;vorschau:</translation>
    </message>
    <message>
        <source>New sound</source>
        <translation>Neue Audiodaten</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>&amp;Rate:</source>
        <translation>&amp;Abtastrate:</translation>
    </message>
    <message>
        <source>%1-bit</source>
        <translation>%1 Bit</translation>
    </message>
    <message>
        <source>Sample si&amp;ze:</source>
        <translation>&amp;Bittiefe:</translation>
    </message>
    <message>
        <source>C&amp;hannels:</source>
        <translation>&amp;Kanäle:</translation>
    </message>
    <message>
        <source>44,100 Hz 1&amp;6-bit stereo</source>
        <translation>44.100 Hz 1&amp;6 Bit Stereo</translation>
    </message>
    <message>
        <source>Colours</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Klassisch</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Hell</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dunkel</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>S&amp;cheme:</source>
        <translation>S&amp;chema:</translation>
    </message>
    <message>
        <source>Saving</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Variable, high quality (V2)</source>
        <translation>Variabel, hohe Qualität (V2)</translation>
    </message>
    <message>
        <source>Variable, medium (V4)</source>
        <translation>Variabel, mittel (V4)</translation>
    </message>
    <message>
        <source>Variable, small files (V6)</source>
        <translation>Variabel, kleine Dateien (V6)</translation>
    </message>
    <message>
        <source>Constant 128 kbit/s</source>
        <translation>Konstant 128 kbit/s</translation>
    </message>
    <message>
        <source>Constant 192 kbit/s</source>
        <translation>Konstant 192 kbit/s</translation>
    </message>
    <message>
        <source>Constant 256 kbit/s</source>
        <translation>Konstant 256 kbit/s</translation>
    </message>
    <message>
        <source>Constant 320 kbit/s</source>
        <translation>Konstant 320 kbit/s</translation>
    </message>
    <message>
        <source>&amp;MP3 quality:</source>
        <translation>&amp;MP3-Qualität:</translation>
    </message>
    <message>
        <source>64 kbit/s</source>
        <translation>64 kbit/s</translation>
    </message>
    <message>
        <source>96 kbit/s</source>
        <translation>96 kbit/s</translation>
    </message>
    <message>
        <source>128 kbit/s</source>
        <translation>128 kbit/s</translation>
    </message>
    <message>
        <source>160 kbit/s</source>
        <translation>160 kbit/s</translation>
    </message>
    <message>
        <source>256 kbit/s</source>
        <translation>256 kbit/s</translation>
    </message>
    <message>
        <source>&amp;Opus bitrate:</source>
        <translation>&amp;Opus-Bitrate:</translation>
    </message>
</context>
<context>
    <name>Print</name>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Drucker</translation>
    </message>
    <message>
        <source>Select / Setup</source>
        <translation>Einrichten</translation>
    </message>
    <message>
        <source>Print Range</source>
        <translation>Druckbereich</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation>&amp;Alles</translation>
    </message>
    <message>
        <source>Selected Channel</source>
        <translation>Gewählter Kanal</translation>
    </message>
    <message>
        <source>&amp;Range</source>
        <translation>&amp;Bereich</translation>
    </message>
    <message>
        <source>Channel #</source>
        <translation>Kanal Nr.</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>By Time From</source>
        <translation>Zeit von</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>Orientation</source>
        <translation>Ausrichtung</translation>
    </message>
    <message>
        <source>&amp;Landscape</source>
        <translation>&amp;Querformat</translation>
    </message>
    <message>
        <source>&amp;Portrait</source>
        <translation>&amp;Hochformat</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>Rows per Page</source>
        <translation>Zeilen/Seite</translation>
    </message>
    <message>
        <source># of Pages</source>
        <translation>Seitenzahl</translation>
    </message>
    <message>
        <source>Preview…</source>
        <translation>Vorschau…</translation>
    </message>
    <message>
        <source>Save as PDF…</source>
        <translation>Als PDF…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No printer is set up</source>
        <translation>Kein Drucker eingerichtet</translation>
    </message>
    <message>
        <source>PDF file %1</source>
        <translation>PDF-Datei %1</translation>
    </message>
    <message>
        <source>Enter a channel number from 0 to %1 (0: from the first or to the last channel).</source>
        <translation>Geben Sie eine Kanalnummer von 0 bis %1 ein (0: ab dem ersten bzw. bis zum letzten Kanal).</translation>
    </message>
    <message>
        <source>Enter a time from 0 to %1 seconds (0 &quot;to&quot;: the end of the sound).</source>
        <translation>Geben Sie eine Zeit von 0 bis %1 Sekunden ein (0 bei „bis“: das Ende der Audiodaten).</translation>
    </message>
    <message>
        <source>Enter a number of rows per page from 1 to %1.</source>
        <translation>Geben Sie eine Zeilenzahl pro Seite von 1 bis %1 ein.</translation>
    </message>
    <message>
        <source>Enter a number of pages from 1 to %1.</source>
        <translation>Geben Sie eine Seitenzahl von 1 bis %1 ein.</translation>
    </message>
    <message>
        <source>No printer is set up. Choose one with &quot;Select / Setup&quot;, or save the printout with &quot;Save as PDF…&quot;.</source>
        <translation>Es ist kein Drucker eingerichtet. Wählen Sie einen mit „Auswahl / Einrichten“, oder speichern Sie den Ausdruck mit „Als PDF speichern…“.</translation>
    </message>
    <message>
        <source>The printout could not be printed on %1.</source>
        <translation>Der Ausdruck konnte nicht auf %1 gedruckt werden.</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Als PDF speichern</translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>The PDF file &apos;%1&apos; could not be written.</source>
        <translation>Die PDF-Datei „%1“ konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>Could not find a folder for the recording (HOME is not set)</source>
        <translation>Es wurde kein Ordner für die Aufnahme gefunden (HOME ist nicht gesetzt)</translation>
    </message>
    <message>
        <source>Could not make the folder %1 for the recording (%2)</source>
        <translation>Der Ordner %1 für die Aufnahme konnte nicht angelegt werden (%2)</translation>
    </message>
    <message>
        <source>Could not make the folder %1 for the recording</source>
        <translation>Der Ordner %1 für die Aufnahme konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>Could not write the recording&apos;s note %1 (%2)</source>
        <translation>Die Notiz %1 zur Aufnahme konnte nicht geschrieben werden (%2)</translation>
    </message>
    <message>
        <source>Could not make a capture file in %1 (%2)</source>
        <translation>In %1 konnte keine Aufnahmedatei angelegt werden (%2)</translation>
    </message>
    <message>
        <source>The disk is full: the recording goes on in memory and is not protected against a crash.</source>
        <translation>Der Datenträger ist voll: Die Aufnahme läuft im Arbeitsspeicher weiter und ist nicht gegen einen Absturz geschützt.</translation>
    </message>
    <message>
        <source>The recording could not be written to the disk (%1): it goes on in memory and is not protected against a crash.</source>
        <translation>Die Aufnahme konnte nicht auf den Datenträger geschrieben werden (%1): Sie läuft im Arbeitsspeicher weiter und ist nicht gegen einen Absturz geschützt.</translation>
    </message>
    <message>
        <source>Your sound card drivers do not support this sample rate</source>
        <translation>Die Treiber Ihrer Soundkarte unterstützen diese Abtastrate nicht</translation>
    </message>
    <message>
        <source>No sound input could be opened: no sound card or sound server answers.</source>
        <translation>Es konnte kein Toneingang geöffnet werden: Keine Soundkarte und kein Soundserver antwortet.</translation>
    </message>
    <message>
        <source>No sound output could be opened: no sound card or sound server answers.</source>
        <translation>Es konnte kein Tonausgang geöffnet werden: Keine Soundkarte und kein Soundserver antwortet.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The sound output stopped working: playback has ended.</source>
        <translation>Der Tonausgang funktioniert nicht mehr: Die Wiedergabe ist beendet.</translation>
    </message>
    <message>
        <source>The sound input stopped working: the recording is paused. Stop puts what was recorded into the sound.</source>
        <translation>Der Toneingang funktioniert nicht mehr: Die Aufnahme ist angehalten. Stopp fügt das Aufgenommene in die Audiodaten ein.</translation>
    </message>
    <message>
        <source>The sound card no longer records in the format of this recording: Stop puts what was recorded into the sound.</source>
        <translation>Die Soundkarte nimmt nicht mehr im Format dieser Aufnahme auf: Stopp fügt das Aufgenommene in die Audiodaten ein.</translation>
    </message>
    <message>
        <source>Could not open capture file (%1)</source>
        <translation>Die Aufnahmedatei konnte nicht geöffnet werden (%1)</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>%1 minute</source>
        <translation>%1 Minute</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 Sekunden</translation>
    </message>
    <message>
        <source>%1 second</source>
        <translation>%1 Sekunde</translation>
    </message>
    <message>
        <source>%1 hour</source>
        <translation>%1 Stunde</translation>
    </message>
    <message>
        <source>%1 hours</source>
        <translation>%1 Stunden</translation>
    </message>
    <message>
        <source>A recording of %1 from %2 was not saved. Recover it?</source>
        <translation>Eine Aufnahme von %1 vom %2 wurde nicht gespeichert. Wiederherstellen?</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
</context>
<context>
    <name>Sound</name>
    <message>
        <source>The sound would become too long: a channel can hold at most 4294967295 samples</source>
        <translation>Die Audiodaten würden zu lang: Ein Kanal fasst höchstens 4294967295 Abtastwerte</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Datei zu groß</translation>
    </message>
    <message>
        <source>The file ended early: %1 of %2 seconds were read.</source>
        <translation>Die Datei endete vorzeitig: %1 von %2 Sekunden wurden gelesen.</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Datei nicht gefunden</translation>
    </message>
    <message>
        <source>Could not open file: %1</source>
        <translation>Die Datei konnte nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>Could not open file</source>
        <translation>Die Datei konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>%1 is not a file</source>
        <translation>%1 ist keine Datei</translation>
    </message>
    <message>
        <source>File is 0 bytes</source>
        <translation>Die Datei ist 0 Byte groß</translation>
    </message>
    <message>
        <source>This is not a WAV file</source>
        <translation>Dies ist keine WAV-Datei</translation>
    </message>
    <message>
        <source>This is not an AIFF file</source>
        <translation>Dies ist keine AIFF-Datei</translation>
    </message>
    <message>
        <source>The type of the file could not be recognised</source>
        <translation>Der Typ der Datei konnte nicht erkannt werden</translation>
    </message>
    <message>
        <source>The file&apos;s sound data is in a format that cannot be read</source>
        <translation>Die Audiodaten der Datei liegen in einem Format vor, das nicht gelesen werden kann</translation>
    </message>
    <message>
        <source>Unknown file type</source>
        <translation>Unbekannter Dateityp</translation>
    </message>
    <message>
        <source>Sample rate not defined</source>
        <translation>Abtastrate nicht festgelegt</translation>
    </message>
    <message>
        <source>The file&apos;s sample rate (%1) is not between 1 and 2147483647 samples a second</source>
        <translation>Die Abtastrate der Datei (%1) liegt nicht zwischen 1 und 2147483647 Abtastwerte pro Sekunde</translation>
    </message>
    <message>
        <source>Data size not given</source>
        <translation>Datengröße nicht angegeben</translation>
    </message>
    <message>
        <source>data style not defined</source>
        <translation>Datenart nicht festgelegt</translation>
    </message>
    <message>
        <source>The file is damaged: it has no channels</source>
        <translation>Die Datei ist beschädigt: Sie hat keine Kanäle</translation>
    </message>
    <message>
        <source>Not enough memory to load %1</source>
        <translation>Nicht genügend Arbeitsspeicher, um %1 zu laden</translation>
    </message>
    <message>
        <source>The file uses %1-bit samples, which cannot be read</source>
        <translation>Die Datei verwendet %1-Bit-Abtastwerte, die nicht gelesen werden können</translation>
    </message>
    <message>
        <source>Could not read file</source>
        <translation>Die Datei konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>This file type cannot hold %1-bit samples</source>
        <translation>Dieser Dateityp kann keine %1-Bit-Abtastwerte aufnehmen</translation>
    </message>
    <message>
        <source>Could not write file: %1</source>
        <translation>Die Datei konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>Could not write file</source>
        <translation>Die Datei konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Type AUTO can only be used for input!</source>
        <translation>Der Typ AUTO kann nur zum Lesen verwendet werden!</translation>
    </message>
    <message>
        <source>This file type cannot hold a sample rate of %1 Hz (it would play at %2 Hz). Change the rate with Sound Format first.</source>
        <translation>Dieser Dateityp kann keine Abtastrate von %1 Hz aufnehmen (er würde mit %2 Hz abgespielt). Ändern Sie die Rate zuerst mit Audioformat.</translation>
    </message>
    <message>
        <source>The file has %1 channels; at most %2 can be loaded</source>
        <translation>Die Datei hat %1 Kanäle; höchstens %2 können geladen werden</translation>
    </message>
    <message>
        <source>The file is damaged: %1</source>
        <translation>Die Datei ist beschädigt: %1</translation>
    </message>
    <message>
        <source>chunk %1 is longer than the file</source>
        <translation>der Chunk %1 ist länger als die Datei</translation>
    </message>
    <message>
        <source>its sound data would start beyond its end</source>
        <translation>ihre Audiodaten würden hinter ihrem Ende beginnen</translation>
    </message>
    <message>
        <source>chunk COMM is too short</source>
        <translation>der Chunk COMM ist zu kurz</translation>
    </message>
    <message>
        <source>chunk MARK is inconsistent</source>
        <translation>der Chunk MARK ist widersprüchlich</translation>
    </message>
    <message>
        <source>an AMR frame has a type that does not exist</source>
        <translation>ein AMR-Frame hat einen Typ, den es nicht gibt</translation>
    </message>
    <message>
        <source>its FLAC metadata ends early</source>
        <translation>ihre FLAC-Metadaten enden vorzeitig</translation>
    </message>
    <message>
        <source>its FLAC stream information is missing</source>
        <translation>ihre FLAC-Stream-Information fehlt</translation>
    </message>
    <message>
        <source>a FLAC metadata block has a type that does not exist</source>
        <translation>ein FLAC-Metadatenblock hat einen Typ, den es nicht gibt</translation>
    </message>
    <message>
        <source>a FLAC metadata block is longer than the file</source>
        <translation>ein FLAC-Metadatenblock ist länger als die Datei</translation>
    </message>
    <message>
        <source>it is not a FLAC stream</source>
        <translation>sie ist kein FLAC-Datenstrom</translation>
    </message>
    <message>
        <source>its header counts more than the file holds</source>
        <translation>ihr Kopf zählt mehr, als die Datei enthält</translation>
    </message>
    <message>
        <source>The file could not be read: the sound file reader brimvale-reader was not found beside the program or where it is installed. Install Brimvale again.</source>
        <translation>Die Datei konnte nicht gelesen werden: Der Audiodateileser brimvale-reader wurde weder neben dem Programm noch am Installationsort gefunden. Installieren Sie Brimvale erneut.</translation>
    </message>
    <message>
        <source>The file could not be read: the sound library made no progress on it (the file is damaged or of an unsupported kind).</source>
        <translation>Die Datei konnte nicht gelesen werden: Die Audiobibliothek kam damit nicht voran (die Datei ist beschädigt oder von einer nicht unterstützten Art).</translation>
    </message>
    <message>
        <source>The file could not be read: the sound library stopped on it (the file is damaged or of an unsupported kind).</source>
        <translation>Die Datei konnte nicht gelesen werden: Die Audiobibliothek ist daran gescheitert (die Datei ist beschädigt oder von einer nicht unterstützten Art).</translation>
    </message>
    <message>
        <source>Could not start the sound file reader: %1</source>
        <translation>Der Audiodateileser konnte nicht gestartet werden: %1</translation>
    </message>
</context>
<context>
    <name>SoundFormat</name>
    <message>
        <source>Sound Format</source>
        <translation>Audioformat</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Aktuell</translation>
    </message>
    <message>
        <source>Change To</source>
        <translation>Ändern in</translation>
    </message>
    <message>
        <source>Sample Rate</source>
        <translation>Abtastrate</translation>
    </message>
    <message>
        <source>Sample Size</source>
        <translation>Bittiefe</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Kanäle</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Estimated File Size</source>
        <translation>Dateigröße (ca.)</translation>
    </message>
    <message>
        <source>Note:  Your sound card may not be capable of playing some sample rates.  We recommend staying with the listed suggestions.</source>
        <translation>Hinweis: Ihre Soundkarte kann manche Abtastraten eventuell nicht wiedergeben. Bleiben Sie am besten bei den aufgeführten Vorschlägen.</translation>
    </message>
    <message>
        <source>Changing the sound format can cause sound degradation.</source>
        <translation>Ein anderes Audioformat kann die Klangqualität mindern.</translation>
    </message>
    <message>
        <source>Error: Invalid Rate</source>
        <translation>Fehler: Ungültige Abtastrate</translation>
    </message>
    <message>
        <source>Resampling...</source>
        <translation>Neuabtastung...</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Fehler: %1</translation>
    </message>
    <message>
        <source>Invalid Rate</source>
        <translation>Ungültige Rate</translation>
    </message>
    <message>
        <source>%1 Sec.</source>
        <translation>%1 Sek.</translation>
    </message>
    <message>
        <source>%1 Bytes</source>
        <translation>%1 Byte</translation>
    </message>
</context>
<context>
    <name>Storage</name>
    <message>
        <source>can&apos;t get temp dir</source>
        <translation>Kein Ordner für temporäre Dateien</translation>
    </message>
    <message>
        <source>can&apos;t make temp file name</source>
        <translation>Kein Name für eine temporäre Datei</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>This operation will create an excessive amount of &apos;undo&apos; data (%1KB).  Do you want to be able to undo this operation?

Select &apos;Cancel&apos; to cancel the operation.</source>
        <translation>Dieser Vorgang erzeugt sehr viele Daten zum Rückgängigmachen (%1 KB).  Wollen Sie diesen Vorgang rückgängig machen können?

Wählen Sie „Abbrechen“, um den Vorgang abzubrechen.</translation>
    </message>
</context>
<context>
    <name>Vibro</name>
    <message>
        <source>Vibro Effect</source>
        <translation>Vibro-Effekt</translation>
    </message>
    <message>
        <source>The &apos;Vibro&apos; effect will modulate the amplitude of your sound with a low frequency sine wave.</source>
        <translation>Der Effekt „Vibro“ moduliert die Amplitude Ihrer Audiodaten mit einer niederfrequenten Sinuswelle.</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximal</translation>
    </message>
    <message>
        <source>Strong</source>
        <translation>Stark</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Leicht</translation>
    </message>
</context>
<context>
    <name>WaveWindow</name>
    <message>
        <source>Channels</source>
        <translation>Kanäle</translation>
    </message>
    <message>
        <source>The channel strips of the sound, one waveform each</source>
        <translation>Die Kanalstreifen der Audiodaten, je eine Wellenform</translation>
    </message>
    <message>
        <source>Scroll through the sound</source>
        <translation>Durch die Audiodaten blättern</translation>
    </message>
    <message>
        <source>Scroll through the channels</source>
        <translation>Durch die Kanäle blättern</translation>
    </message>
    <message>
        <source>Recording
Meter</source>
        <translation>Aufnahme-
pegel</translation>
    </message>
    <message>
        <source>Playback
Volume</source>
        <translation>Wiedergabe-
lautstärke</translation>
    </message>
    <message>
        <source>The sample size and rate: opens the Sound Format dialog</source>
        <translation>Bittiefe und Abtastrate: öffnet den Dialog Audioformat</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Selection</source>
        <translation>Auswahl</translation>
    </message>
    <message>
        <source>Selection captions</source>
        <translation>Auswahlbeschriftungen</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Anfang</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Länge</translation>
    </message>
    <message>
        <source>Transport</source>
        <translation>Wiedergabesteuerung</translation>
    </message>
    <message>
        <source>Tracks</source>
        <translation>Spuren</translation>
    </message>
    <message>
        <source>Effects</source>
        <translation>Effekte</translation>
    </message>
    <message>
        <source>Channel height</source>
        <translation>Kanalhöhe</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>float</source>
        <translation>Float</translation>
    </message>
    <message>
        <source>%1 bit</source>
        <translation>%1 Bit</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Loading: %1</source>
        <translation>Laden: %1</translation>
    </message>
    <message>
        <source>Error reading file &apos;%1&apos;: %2</source>
        <translation>Fehler beim Lesen der Datei „%1“: %2</translation>
    </message>
    <message>
        <source>Saving: %1</source>
        <translation>Speichern: %1</translation>
    </message>
    <message>
        <source>The file type holds only %1-bit samples. Save anyway?</source>
        <translation>Der Dateityp fasst nur %1-Bit-Abtastwerte. Trotzdem speichern?</translation>
    </message>
    <message>
        <source>Error writing file &apos;%1&apos;: %2</source>
        <translation>Fehler beim Schreiben der Datei „%1“: %2</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Sound %1</source>
        <translation>Audio %1</translation>
    </message>
    <message>
        <source>Discard the changes to %1 and reload it from the file?</source>
        <translation>Die Änderungen an %1 verwerfen und neu aus der Datei laden?</translation>
    </message>
    <message>
        <source>Save changes to &apos;%1&apos;?</source>
        <translation>Änderungen an „%1“ speichern?</translation>
    </message>
    <message>
        <source>Click the red record button to continue recording</source>
        <translation>Weiter mit der roten Aufnahmetaste</translation>
    </message>
    <message>
        <source>Undo/Redo ...</source>
        <translation>Rückgängig/Wiederh. ...</translation>
    </message>
    <message>
        <source>Cutting to Clipboard...</source>
        <translation>Ausschneiden...</translation>
    </message>
    <message>
        <source>Copying to Clipboard...</source>
        <translation>Kopieren...</translation>
    </message>
    <message>
        <source>Pasting from Clipboard...</source>
        <translation>Einfügen...</translation>
    </message>
    <message>
        <source>Reversing...</source>
        <translation>Umkehren...</translation>
    </message>
    <message>
        <source>Processing...</source>
        <translation>Verarbeiten...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Recorded %1 seconds</source>
        <translation>%1 Sekunden aufgenommen</translation>
    </message>
</context>
</TS>
