<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
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
        <source>VLM Velmor Name</source>
        <translation>Name des VLM Velmor</translation>
    </message>
    <message>
        <source>VLM Velmor Serial No</source>
        <translation>Seriennummer des VLM Velmor</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>Firmware-Stand</translation>
    </message>
    <message>
        <source>VLM Velmor Version</source>
        <translation>Stand des VLM Velmor</translation>
    </message>
    <message>
        <source>The firmware update is not part of this version.</source>
        <translation>Die Firmware-Aktualisierung ist in dieser Ausgabe nicht enthalten.</translation>
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
        <source>No Clips</source>
        <translation>Keine Clips</translation>
    </message>
    <message>
        <source>Clip %1 of %2</source>
        <translation>Clip %1 von %2</translation>
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
        <source>Genlock</source>
        <translation>Taktkopplung</translation>
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
