<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BluetoothEnumerator</name>
    <message>
        <source>no Bluetooth adapter</source>
        <translation>kein Bluetooth-Adapter</translation>
    </message>
</context>
<context>
    <name>BluetoothInterface</name>
    <message>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>connecting</source>
        <translation>verbindet</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Closing</source>
        <translation>Wird geschlossen</translation>
    </message>
    <message>
        <source>Unknown status</source>
        <translation>Unbekannter Zustand</translation>
    </message>
</context>
<context>
    <name>ConfigDlg</name>
    <message>
        <source>Network Adapter</source>
        <translation>Netzwerkadapter</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Operator mode</source>
        <translation>Bedienmodus</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Broadcast</source>
        <translation>Broadcast</translation>
    </message>
    <message>
        <source>Ethernet</source>
        <translation>Ethernet</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>Full control</source>
        <translation>Volle Kontrolle</translation>
    </message>
    <message>
        <source>Filming only</source>
        <translation>Nur Aufnahme</translation>
    </message>
    <message>
        <source>Playback only</source>
        <translation>Nur Wiedergabe</translation>
    </message>
    <message>
        <source>General options</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>FormatSelector</name>
    <message>
        <source>Fractional</source>
        <translation>Gebrochen</translation>
    </message>
</context>
<context>
    <name>FwUpdDlg</name>
    <message>
        <source>Velmor Firmware update</source>
        <translation>Velmor-Firmware-Aktualisierung</translation>
    </message>
    <message>
        <source>Firmware file:</source>
        <translation>Firmware-Datei:</translation>
    </message>
    <message>
        <source>Select File...</source>
        <translation>Datei wählen...</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>The Velmor is writing its flash. Do not switch it off.</source>
        <translation>Der Velmor schreibt seinen Flash-Speicher. Nicht ausschalten.</translation>
    </message>
    <message>
        <source>Update Firmware</source>
        <translation>Firmware aktualisieren</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Firmware files (*.mcs)</source>
        <translation>Firmware-Dateien (*.mcs)</translation>
    </message>
    <message>
        <source>The process has been aborted</source>
        <translation>Der Vorgang wurde abgebrochen</translation>
    </message>
    <message>
        <source>Aborted</source>
        <translation>Abgebrochen</translation>
    </message>
</context>
<context>
    <name>GenlockStatus</name>
    <message>
        <source>Locked</source>
        <translation>Verriegelt</translation>
    </message>
    <message>
        <source>Not Locked</source>
        <translation>Nicht verriegelt</translation>
    </message>
    <message>
        <source>Not Detected</source>
        <translation>Nicht erkannt</translation>
    </message>
    <message>
        <source>Detected Genlock</source>
        <translation>Erkannter Genlock</translation>
    </message>
    <message>
        <source>Oscillator: </source>
        <translation>Oszillator: </translation>
    </message>
</context>
<context>
    <name>InfoDlg</name>
    <message>
        <source>VLM Velmor Name</source>
        <translation>Name des VLM Velmor</translation>
    </message>
    <message>
        <source>VLM Velmor Serial No</source>
        <translation>Seriennummer des VLM Velmor</translation>
    </message>
    <message>
        <source>VLM Velmor Version</source>
        <translation>Stand des VLM Velmor</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>Firmware-Stand</translation>
    </message>
    <message>
        <source>Board Version</source>
        <translation>Platinenversion</translation>
    </message>
    <message>
        <source>No of Disks</source>
        <translation>Anzahl Laufwerke</translation>
    </message>
    <message>
        <source>Ethernet 1G MAC Address</source>
        <translation>Ethernet 1G MAC-Adresse</translation>
    </message>
    <message>
        <source>Ethernet 1G IP Address</source>
        <translation>Ethernet 1G IP-Adresse</translation>
    </message>
    <message>
        <source>Ethernet 10G 0 MAC Address</source>
        <translation>Ethernet 10G 0 MAC-Adresse</translation>
    </message>
    <message>
        <source>Ethernet 10G 0 IP Address</source>
        <translation>Ethernet 10G 0 IP-Adresse</translation>
    </message>
    <message>
        <source>Ethernet 10G 1 MAC Address</source>
        <translation>Ethernet 10G 1 MAC-Adresse</translation>
    </message>
    <message>
        <source>Ethernet 10G 1 IP Address</source>
        <translation>Ethernet 10G 1 IP-Adresse</translation>
    </message>
    <message>
        <source>This value cannot be changed.</source>
        <translation>Dieser Wert kann nicht geändert werden.</translation>
    </message>
    <message>
        <source>A serial number reads VLMV-nnnn-nnnn, with at most 4 digits in each part.</source>
        <translation>Eine Seriennummer lautet VLMV-nnnn-nnnn, mit höchstens 4 Ziffern je Teil.</translation>
    </message>
    <message>
        <source>An IP address is four numbers of 0 to 255 separated by dots, not 0.0.0.0.</source>
        <translation>Eine IP-Adresse besteht aus vier durch Punkte getrennten Zahlen von 0 bis 255, nicht 0.0.0.0.</translation>
    </message>
    <message>
        <source>A MAC address is six pairs of hexadecimal digits separated by &quot;:&quot; or &quot;-&quot;.</source>
        <translation>Eine MAC-Adresse besteht aus sechs Paaren hexadezimaler Ziffern, getrennt durch ":" oder "-".</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>VLM Velmor Control</source>
        <translation>VLM Velmor Steuerung</translation>
    </message>
    <message>
        <source>VLM Velmors</source>
        <translation>VLM Velmor-Geräte</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Getrennt</translation>
    </message>
    <message>
        <source>Previous Velmor</source>
        <translation>Vorheriger Velmor</translation>
    </message>
    <message>
        <source>Next Velmor</source>
        <translation>Nächster Velmor</translation>
    </message>
    <message>
        <source>Recording video...
Click the REC button to stop.</source>
        <translation>Videoaufnahme läuft...
Zum Beenden die REC-Taste drücken.</translation>
    </message>
    <message>
        <source>Loading calibration
Please wait!</source>
        <translation>Kalibrierung wird geladen
Bitte warten!</translation>
    </message>
    <message>
        <source>The latest clip will be deleted. Continue?</source>
        <translation>Der neueste Clip wird gelöscht. Fortfahren?</translation>
    </message>
    <message>
        <source>Formatting the SSD will delete all clips. Continue?</source>
        <translation>Beim Formatieren der SSD werden alle Clips gelöscht. Fortfahren?</translation>
    </message>
    <message>
        <source>The Velmor has not sent its information yet.</source>
        <translation>Der Velmor hat seine Informationen noch nicht gesendet.</translation>
    </message>
    <message>
        <source>More than %1 Velmors answered. Only the first %1 are listed.</source>
        <translation>Mehr als %1 Velmor-Geräte haben geantwortet. Nur die ersten %1 werden angezeigt.</translation>
    </message>
    <message>
        <source>Initializing the Velmor(s)
Please wait!</source>
        <translation>Velmor-Geräte werden vorbereitet
Bitte warten!</translation>
    </message>
    <message>
        <source>The Velmor(s) could not be opened.</source>
        <translation>Die Velmor-Geräte konnten nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>The Velmor IP address will be changed. Continue?</source>
        <translation>Die IP-Adresse des Velmor wird geändert. Fortfahren?</translation>
    </message>
    <message>
        <source>The new IP address could not be sent.</source>
        <translation>Die neue IP-Adresse konnte nicht gesendet werden.</translation>
    </message>
    <message>
        <source>No answer from %1.
Check that the Velmor is switched on and connected.</source>
        <translation>Keine Antwort von %1.
Prüfen Sie, ob der Velmor eingeschaltet und angeschlossen ist.</translation>
    </message>
    <message>
        <source>Bluetooth: %1</source>
        <translation>Bluetooth: %1</translation>
    </message>
</context>
<context>
    <name>McsImage</name>
    <message>
        <source>Unable to parse MCS firmware file.</source>
        <translation>Die MCS-Firmware-Datei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The firmware image needs %1 packets, more than the Velmor can verify (%2).</source>
        <translation>Das Firmware-Abbild braucht %1 Pakete, mehr als der Velmor prüfen kann (%2).</translation>
    </message>
</context>
<context>
    <name>QBtnToolbar</name>
    <message>
        <source>Enumerate Cameras</source>
        <translation>Kameras suchen</translation>
    </message>
    <message>
        <source>General options</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Start/Stop Recording</source>
        <translation>Aufnahme starten/beenden</translation>
    </message>
    <message>
        <source>Update Velmor Firmware</source>
        <translation>Velmor-Firmware aktualisieren</translation>
    </message>
    <message>
        <source>Show Velmor info</source>
        <translation>Velmor-Informationen anzeigen</translation>
    </message>
</context>
<context>
    <name>QClipsBar</name>
    <message>
        <source>VLM Velmor Free Disk</source>
        <translation>Freier Speicher des VLM Velmor</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>Kamera</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>** Clip acquired with a different camera **</source>
        <translation>** Clip mit einer anderen Kamera aufgenommen **</translation>
    </message>
    <message>
        <source>Clip info</source>
        <translation>Clip-Info</translation>
    </message>
    <message>
        <source>** No Clips **</source>
        <translation>** Keine Clips **</translation>
    </message>
    <message>
        <source>Clip </source>
        <translation>Clip </translation>
    </message>
    <message>
        <source>Info: N/A</source>
        <translation>Info: k. A.</translation>
    </message>
    <message>
        <source>Delete latest clip</source>
        <translation>Neuesten Clip löschen</translation>
    </message>
    <message>
        <source>Delete all clips</source>
        <translation>Alle Clips löschen</translation>
    </message>
</context>
<context>
    <name>QConfigSelToolbar</name>
    <message>
        <source>Record Parameters</source>
        <translation>Aufnahmeparameter</translation>
    </message>
    <message>
        <source>Paint Parameters</source>
        <translation>Farbparameter</translation>
    </message>
    <message>
        <source>Genlock (Generator Locking)</source>
        <translation>Genlock (Generator-Synchronisierung)</translation>
    </message>
    <message>
        <source>Motorized Lens Control</source>
        <translation>Motorobjektivsteuerung</translation>
    </message>
    <message>
        <source>Camera / Velmor Output</source>
        <translation>Kamera / Velmor-Ausgang</translation>
    </message>
    <message>
        <source>Paint Configuration</source>
        <translation>Farbeinstellungen</translation>
    </message>
    <message>
        <source>Genlock Configuration</source>
        <translation>Genlock-Einstellungen</translation>
    </message>
    <message>
        <source>Lens Configuration</source>
        <translation>Objektiveinstellungen</translation>
    </message>
</context>
<context>
    <name>QConfigToolbar</name>
    <message>
        <source>Fps</source>
        <translation>Bilder/s</translation>
    </message>
    <message>
        <source>Shutter</source>
        <translation>Verschluss</translation>
    </message>
    <message>
        <source>SDI Format</source>
        <translation>SDI-Bildformat</translation>
    </message>
    <message>
        <source>%1 %2 is outside what the camera takes: %3 is sent.</source>
        <translation>%1 %2 liegt außerhalb dessen, was die Kamera annimmt: %3 wird gesendet.</translation>
    </message>
    <message>
        <source>120 Fps Live</source>
        <translation>120 Fps Live</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Swapped</source>
        <translation>Vertauscht</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Ausgang</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Option</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>LIVE</source>
        <translation>LIVE</translation>
    </message>
    <message>
        <source>PLAYBACK</source>
        <translation>WIEDERGABE</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>Fokus</translation>
    </message>
    <message>
        <source>Iris</source>
        <translation>Blende</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Mitte</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Alignment</source>
        <translation>Ausrichtung</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Verstärkung</translation>
    </message>
    <message>
        <source>Pedestal</source>
        <translation>Schwarzwert</translation>
    </message>
    <message>
        <source>Flare</source>
        <translation>Streulicht</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>Detail</translation>
    </message>
    <message>
        <source>Misc</source>
        <translation>Sonstiges</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Balance</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Pegel</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>Sättigung</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>Color Temp</source>
        <translation>Farbtemp.</translation>
    </message>
    <message>
        <source>Misc %1</source>
        <translation>Sonstiges %1</translation>
    </message>
    <message>
        <source>Align</source>
        <translation>Angleichen</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Activate</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Schritt</translation>
    </message>
</context>
<context>
    <name>QMultiRecorderMgr</name>
    <message>
        <source>The firmware cannot be updated over Bluetooth. Connect the Velmor over Ethernet.</source>
        <translation>Die Firmware kann nicht über Bluetooth aktualisiert werden. Verbinden Sie den Velmor über Ethernet.</translation>
    </message>
    <message>
        <source>No Velmor is open.</source>
        <translation>Kein Velmor ist geöffnet.</translation>
    </message>
</context>
<context>
    <name>QPlaybackBar</name>
    <message>
        <source>First frame</source>
        <translation>Erstes Bild</translation>
    </message>
    <message>
        <source>Previous frame</source>
        <translation>Vorheriges Bild</translation>
    </message>
    <message>
        <source>Rewind</source>
        <translation>Rücklauf</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Fast forward</source>
        <translation>Vorlauf</translation>
    </message>
    <message>
        <source>Next frame</source>
        <translation>Nächstes Bild</translation>
    </message>
    <message>
        <source>Latest frame</source>
        <translation>Letztes Bild</translation>
    </message>
    <message>
        <source>Direct/Loop</source>
        <translation>Direkt/Schleife</translation>
    </message>
    <message>
        <source>Half speed</source>
        <translation>Halbe Geschwindigkeit</translation>
    </message>
    <message>
        <source>Double speed</source>
        <translation>Doppelte Geschwindigkeit</translation>
    </message>
</context>
<context>
    <name>QSelToolbar</name>
    <message>
        <source>Recording</source>
        <translation>Aufnahme</translation>
    </message>
    <message>
        <source>Playback</source>
        <translation>Wiedergabe</translation>
    </message>
</context>
<context>
    <name>RecLabel</name>
    <message>
        <source>Camera</source>
        <translation>Kamera</translation>
    </message>
    <message>
        <source>Open together with the recorder clicked</source>
        <translation>Zusammen mit dem angeklickten Rekorder öffnen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Edit Velmor IP address</source>
        <translation>Velmor-IP-Adresse bearbeiten</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>IP-Adresse:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IP address the Velmor can take: the address stays %2.</source>
        <translation>"%1" ist keine IP-Adresse, die der Velmor übernehmen kann: Die Adresse bleibt %2.</translation>
    </message>
</context>
<context>
    <name>RecorderFirmwareProgrammer</name>
    <message>
        <source>Unable to open firmware file.</source>
        <translation>Die Firmware-Datei kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Initializing enivronment...</source>
        <translation>Umgebung wird vorbereitet...</translation>
    </message>
    <message>
        <source>Time out waiting for reply.</source>
        <translation>Zeitüberschreitung beim Warten auf Antwort.</translation>
    </message>
    <message>
        <source>Initializing...</source>
        <translation>Wird vorbereitet...</translation>
    </message>
    <message>
        <source>Detected CRC Error, aborting...</source>
        <translation>CRC-Fehler erkannt, Abbruch...</translation>
    </message>
    <message>
        <source>Calculating CRC...</source>
        <translation>CRC wird berechnet...</translation>
    </message>
    <message>
        <source>Recovering packets...</source>
        <translation>Pakete werden wiederhergestellt...</translation>
    </message>
    <message>
        <source>Failed to start flash write procedure.</source>
        <translation>Das Schreiben des Flash-Speichers konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>Initiating write...</source>
        <translation>Schreiben wird gestartet...</translation>
    </message>
    <message>
        <source>Flash successfully programmed!</source>
        <translation>Flash-Speicher erfolgreich programmiert!</translation>
    </message>
    <message>
        <source>Writing to Flash %1%</source>
        <translation>Schreibe Flash-Speicher %1%</translation>
    </message>
    <message>
        <source>The Velmor answers but the update does not go on: stopped.</source>
        <translation>Der Velmor antwortet, aber die Aktualisierung kommt nicht voran: beendet.</translation>
    </message>
</context>
<context>
    <name>TouchPad</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>UdpInterface</name>
    <message>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Disconnected (Time out)</source>
        <translation>Getrennt (Zeitüberschreitung)</translation>
    </message>
    <message>
        <source>Connected to </source>
        <translation>Verbunden mit </translation>
    </message>
    <message>
        <source>Unknown status</source>
        <translation>Unbekannter Zustand</translation>
    </message>
</context>
</TS>
