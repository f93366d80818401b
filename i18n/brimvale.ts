<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>Access</name>
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
    <name>Loudness</name>
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
        <source>Error: Invalid Rate</source>
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
        <source>Modified</source>
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
