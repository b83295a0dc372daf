<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>MainWindow</name>
    <message>
        <source>VLM Velmor Control</source>
        <translation>VLM Velmor Controllo</translation>
    </message>
    <message>
        <source>VLM Velmors</source>
        <translation>Dispositivi VLM Velmor</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Disconnesso</translation>
    </message>
    <message>
        <source>Previous Velmor</source>
        <translation>Velmor precedente</translation>
    </message>
    <message>
        <source>Next Velmor</source>
        <translation>Velmor successivo</translation>
    </message>
    <message>
        <source>Recording video...
Click the REC button to stop.</source>
        <translation>Registrazione video in corso...
Premere il pulsante REC per fermare.</translation>
    </message>
    <message>
        <source>Loading calibration
Please wait!</source>
        <translation>Caricamento della calibrazione
Attendere prego!</translation>
    </message>
    <message>
        <source>The latest clip will be deleted. Continue?</source>
        <translation>L'ultima clip verrà eliminata. Continuare?</translation>
    </message>
    <message>
        <source>Formatting the SSD will delete all clips. Continue?</source>
        <translation>La formattazione dell'SSD eliminerà tutte le clip. Continuare?</translation>
    </message>
    <message>
        <source>The Velmor has not sent its information yet.</source>
        <translation>Il Velmor non ha ancora inviato le sue informazioni.</translation>
    </message>
    <message>
        <source>VLM Velmor Name</source>
        <translation>Nome VLM Velmor</translation>
    </message>
    <message>
        <source>VLM Velmor Serial No</source>
        <translation>N. di serie VLM Velmor</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>Versione del firmware</translation>
    </message>
    <message>
        <source>VLM Velmor Version</source>
        <translation>Versione VLM Velmor</translation>
    </message>
    <message>
        <source>The firmware update is not part of this version.</source>
        <translation>L'aggiornamento del firmware non è incluso in questa versione.</translation>
    </message>
    <message>
        <source>More than %1 Velmors answered. Only the first %1 are listed.</source>
        <translation>Hanno risposto più di %1 Velmor. Vengono elencati solo i primi %1.</translation>
    </message>
    <message>
        <source>Initializing the Velmor(s)
Please wait!</source>
        <translation>Inizializzazione dei Velmor
Attendere prego!</translation>
    </message>
    <message>
        <source>The Velmor(s) could not be opened.</source>
        <translation>Impossibile aprire i Velmor.</translation>
    </message>
    <message>
        <source>The Velmor IP address will be changed. Continue?</source>
        <translation>L'indirizzo IP del Velmor verrà modificato. Continuare?</translation>
    </message>
    <message>
        <source>The new IP address could not be sent.</source>
        <translation>Impossibile inviare il nuovo indirizzo IP.</translation>
    </message>
    <message>
        <source>No answer from %1.
Check that the Velmor is switched on and connected.</source>
        <translation>Nessuna risposta da %1.
Verificare che il Velmor sia acceso e collegato.</translation>
    </message>
</context>
<context>
    <name>QBtnToolbar</name>
    <message>
        <source>Enumerate Cameras</source>
        <translation>Cerca telecamere</translation>
    </message>
    <message>
        <source>General options</source>
        <translation>Opzioni generali</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Indietro</translation>
    </message>
    <message>
        <source>Start/Stop Recording</source>
        <translation>Avvia/arresta la registrazione</translation>
    </message>
    <message>
        <source>Update Velmor Firmware</source>
        <translation>Aggiorna il firmware del Velmor</translation>
    </message>
    <message>
        <source>Show Velmor info</source>
        <translation>Mostra informazioni sul Velmor</translation>
    </message>
</context>
<context>
    <name>QClipsBar</name>
    <message>
        <source>VLM Velmor Free Disk</source>
        <translation>Disco libero VLM Velmor</translation>
    </message>
    <message>
        <source>No Clips</source>
        <translation>Nessuna clip</translation>
    </message>
    <message>
        <source>Clip %1 of %2</source>
        <translation>Clip %1 di %2</translation>
    </message>
</context>
<context>
    <name>QConfigToolbar</name>
    <message>
        <source>Fps</source>
        <translation>Fotogrammi/s</translation>
    </message>
    <message>
        <source>Shutter</source>
        <translation>Otturatore</translation>
    </message>
    <message>
        <source>SDI Format</source>
        <translation>Formato SDI</translation>
    </message>
    <message>
        <source>Genlock</source>
        <translation>Sincronismo esterno</translation>
    </message>
</context>
<context>
    <name>QSelToolbar</name>
    <message>
        <source>Recording</source>
        <translation>Registrazione</translation>
    </message>
    <message>
        <source>Playback</source>
        <translation>Riproduzione</translation>
    </message>
</context>
<context>
    <name>RecLabel</name>
    <message>
        <source>Camera</source>
        <translation>Telecamera</translation>
    </message>
    <message>
        <source>Open together with the recorder clicked</source>
        <translation>Apri insieme al registratore selezionato</translation>
    </message>
</context>
<context>
    <name>UdpInterface</name>
    <message>
        <source>Not connected</source>
        <translation>Non connesso</translation>
    </message>
    <message>
        <source>Disconnected (Time out)</source>
        <translation>Disconnesso (tempo scaduto)</translation>
    </message>
    <message>
        <source>Connected to </source>
        <translation>Connesso a </translation>
    </message>
    <message>
        <source>Unknown status</source>
        <translation>Stato sconosciuto</translation>
    </message>
</context>
</TS>
