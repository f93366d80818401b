<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>About</name>
    <message>
        <source>Version 1.0, Alpha</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Access</name>
    <message>
        <source>Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Message</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modified state</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The waveform of the channel: click to place the cursor, drag to select, Shift+click to select across all channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seconds %1 to %2 of the sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seconds from the start of the sound above the channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playing at %1 seconds, from %2 to %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing selected here: the selection is on channel %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cursor at %1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected from %1 to %2 seconds, %3 seconds long</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Amplitude</name>
    <message>
        <source>Amplitude</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Adjust Volume</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Clipboard</name>
    <message>
        <source>The selection is too large for the clipboard: sound is exchanged as a WAV file, which holds at most 4 GB. Select a shorter range.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not put the sound on the clipboard: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough memory</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Brimvale, a sound editor. Opens each sound file named (names of files that do not exist are skipped), or a new untitled sound.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows this help and ends.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the version and ends.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound files to open.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: %1 [options] [files...]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vo&amp;lume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Effect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New	Ctrl+N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open...	Ctrl+O</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit	Ctrl+Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Show Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;User Guide	F1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Vertical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Horizontal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Arrange &amp;Icons</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;lose All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom to Se&amp;lection	Ctrl+E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Loudness...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>M&amp;easure...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Normalize...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pre&amp;ferences...	Ctrl+,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Spectrogram</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Taller Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shorter Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>keys: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playback volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The volume of playback, loudest at the top; also the Volume menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save	Ctrl+S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As...	Ctrl+Shift+S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Revert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close	Ctrl+W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Play	Ctrl+P</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Record	Ctrl+R</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo	Ctrl+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo	Ctrl+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo %1	Ctrl+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo	Ctrl+Shift+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo %1	Ctrl+Shift+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cu&amp;t	Ctrl+X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy	Ctrl+C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste	Ctrl+V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete	Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;All	Ctrl+A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>D&amp;e-Select	Escape</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Silence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Silence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A&amp;ll Channels	Shift+Click</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Echo...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Echo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Backwards</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backwards</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Pitch...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pitch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Vibro...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Amplitude...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Amplify</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fade &amp;In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fade In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fade &amp;Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fade Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other &amp;Effect...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound &amp;Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Merge Tracks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mix Tracks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom &amp;In	Ctrl++</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom &amp;Out	Ctrl+-</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit To Window	=</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Echo</name>
    <message>
        <source>Echo Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delay:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Volume:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Effect</name>
    <message>
        <source>Effect name not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong arguments for the effect %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tmpfile write error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tmpfile read error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The effect %1 failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sample rate of the sound is not known</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The effect %1 could not start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The effect %1 does not give one channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>echo: at most 7 delays are possible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filtering...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previewing...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileChoice</name>
    <message>
        <source>All sound files (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Sound File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Sound File</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Frame</name>
    <message>
        <source>The user guide is not installed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The user guide could not be opened: no web browser or help program answers.

It is the file %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Loudness</name>
    <message>
        <source>The loudness could not be measured: out of memory.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adjusting loudness...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Target loudness:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EBU R128 (-2&amp;3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stream (-1&amp;6)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stream (-1&amp;4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>True &amp;peak limit:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The target loudness must be a number from -70 to 0 LUFS.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The true peak limit must be a number from -20 to 0 dBTP.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Measuring loudness...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The range is too short or too quiet to measure its loudness (it needs at least 0.4 seconds of sound above -70 LUFS).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Measure</name>
    <message>
        <source>Measuring...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Measure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Integrated (LUFS)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Range (LU)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>True peak (dBTP)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample peak (dBFS)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RMS (dBFS)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All channels</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Normalize</name>
    <message>
        <source>Normalize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Normalizing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Peak level:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Each channel on its own</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;All channels together</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The peak level must be a number from -100 to 0 dBFS.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OtherEffect</name>
    <message>
        <source>Other Effect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Effect:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Effect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Arguments</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Arguments:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Pitch</name>
    <message>
        <source>Pitch Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Old Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Relative Change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resampling...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Editing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo levels:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Arrow keys move the cursor (Shift extends the selection)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Scroll during playback</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Effect &amp;preview:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Rate:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1-bit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample si&amp;ze:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;hannels:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>44,100 Hz 1&amp;6-bit stereo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Variable, high quality (V2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Variable, medium (V4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Variable, small files (V6)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Constant 128 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Constant 192 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Constant 256 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Constant 320 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;MP3 quality:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>64 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>96 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>128 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>160 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>256 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Opus bitrate:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Classic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Light</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dark</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;cheme:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Print</name>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select / Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By Time From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Orientation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Landscape</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Portrait</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Layout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rows per Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source># of Pages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as PDF…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No printer is set up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a channel number from 0 to %1 (0: from the first or to the last channel).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a time from 0 to %1 seconds (0 &quot;to&quot;: the end of the sound).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a number of rows per page from 1 to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a number of pages from 1 to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No printer is set up. Choose one with &quot;Select / Setup&quot;, or save the printout with &quot;Save as PDF…&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The printout could not be printed on %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The PDF file &apos;%1&apos; could not be written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>Could not find a folder for the recording (HOME is not set)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not make the folder %1 for the recording (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not make the folder %1 for the recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not write the recording&apos;s note %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not make a capture file in %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The disk is full: the recording goes on in memory and is not protected against a crash.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recording could not be written to the disk (%1): it goes on in memory and is not protected against a crash.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your sound card drivers do not support this sample rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No sound input could be opened: no sound card or sound server answers.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No sound output could be opened: no sound card or sound server answers.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound output stopped working: playback has ended.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound input stopped working: the recording is paused. Stop puts what was recorded into the sound.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound card no longer records in the format of this recording: Stop puts what was recorded into the sound.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not open capture file (%1)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>%1 minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A recording of %1 from %2 was not saved. Recover it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Later</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Sound</name>
    <message>
        <source>The sound would become too long: a channel can hold at most 4294967295 samples</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File too large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file ended early: %1 of %2 seconds were read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not open file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not open file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File is 0 bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This is not a WAV file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This is not an AIFF file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The type of the file could not be recognised</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file&apos;s sound data is in a format that cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown file type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample rate not defined</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file&apos;s sample rate (%1) is not between 1 and 2147483647 samples a second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data size not given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>data style not defined</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is damaged: it has no channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough memory to load %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file uses %1-bit samples, which cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not read file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file type cannot hold %1-bit samples</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not write file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not write file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type AUTO can only be used for input!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file type cannot hold a sample rate of %1 Hz (it would play at %2 Hz). Change the rate with Sound Format first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file has %1 channels; at most %2 can be loaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is damaged: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>chunk %1 is longer than the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its sound data would start beyond its end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>chunk COMM is too short</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>chunk MARK is inconsistent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>an AMR frame has a type that does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its FLAC metadata ends early</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its FLAC stream information is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a FLAC metadata block has a type that does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a FLAC metadata block is longer than the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is not a FLAC stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its header counts more than the file holds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file could not be read: the sound file reader brimvale-reader was not found beside the program or where it is installed. Install Brimvale again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file could not be read: the sound library made no progress on it (the file is damaged or of an unsupported kind).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file could not be read: the sound library stopped on it (the file is damaged or of an unsupported kind).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not start the sound file reader: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SoundFormat</name>
    <message>
        <source>Sound Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Estimated File Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note:  Your sound card may not be capable of playing some sample rates.  We recommend staying with the listed suggestions.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changing the sound format can cause sound degradation.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Sec.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: Invalid Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resampling...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Storage</name>
    <message>
        <source>can&apos;t get temp dir</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can&apos;t make temp file name</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>This operation will create an excessive amount of &apos;undo&apos; data (%1KB).  Do you want to be able to undo this operation?

Select &apos;Cancel&apos; to cancel the operation.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Vibro</name>
    <message>
        <source>Vibro Effect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The &apos;Vibro&apos; effect will modulate the amplitude of your sound with a low frequency sine wave.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Strong</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Medium</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Light</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WaveWindow</name>
    <message>
        <source>float</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 bit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The channel strips of the sound, one waveform each</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scroll through the sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scroll through the channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording
Meter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playback
Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sample size and rate: opens the Sound Format dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selection captions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transport</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tracks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Effects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error reading file &apos;%1&apos;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file type holds only %1-bit samples. Save anyway?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error writing file &apos;%1&apos;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discard the changes to %1 and reload it from the file?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save changes to &apos;%1&apos;?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click the red record button to continue recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recorded %1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo/Redo ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cutting to Clipboard...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copying to Clipboard...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pasting from Clipboard...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reversing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Processing...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
