<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>BluetoothEnumerator</name>
    <message>
        <source>no Bluetooth adapter</source>
        <translation>nessun adattatore Bluetooth</translation>
    </message>
</context>
<context>
    <name>BluetoothInterface</name>
    <message>
        <source>Not connected</source>
        <translation>Non connesso</translation>
    </message>
    <message>
        <source>connecting</source>
        <translation>connessione in corso</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connesso</translation>
    </message>
    <message>
        <source>Closing</source>
        <translation>Chiusura</translation>
    </message>
    <message>
        <source>Unknown status</source>
        <translation>Stato sconosciuto</translation>
    </message>
</context>
<context>
    <name>ConfigDlg</name>
    <message>
        <source>Network Adapter</source>
        <translation>Scheda di rete</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Collegamento</translation>
    </message>
    <message>
        <source>Operator mode</source>
        <translation>Modalità operatore</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>N/D</translation>
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
        <translation>Controllo completo</translation>
    </message>
    <message>
        <source>Filming only</source>
        <translation>Solo ripresa</translation>
    </message>
    <message>
        <source>Playback only</source>
        <translation>Solo riproduzione</translation>
    </message>
    <message>
        <source>General options</source>
        <translation>Opzioni generali</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Indietro</translation>
    </message>
</context>
<context>
    <name>FormatSelector</name>
    <message>
        <source>Fractional</source>
        <translation>Frazionario</translation>
    </message>
</context>
<context>
    <name>FwUpdDlg</name>
    <message>
        <source>Velmor Firmware update</source>
        <translation>Aggiornamento firmware Velmor</translation>
    </message>
    <message>
        <source>Firmware file:</source>
        <translation>File firmware:</translation>
    </message>
    <message>
        <source>Select File...</source>
        <translation>Seleziona file...</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Pronto</translation>
    </message>
    <message>
        <source>The Velmor is writing its flash. Do not switch it off.</source>
        <translation>Il Velmor sta scrivendo la memoria flash. Non spegnerlo.</translation>
    </message>
    <message>
        <source>Update Firmware</source>
        <translation>Aggiorna firmware</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Interrompi</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Firmware files (*.mcs)</source>
        <translation>File firmware (*.mcs)</translation>
    </message>
    <message>
        <source>The process has been aborted</source>
        <translation>Il processo è stato interrotto</translation>
    </message>
    <message>
        <source>Aborted</source>
        <translation>Interrotto</translation>
    </message>
</context>
<context>
    <name>GenlockStatus</name>
    <message>
        <source>Locked</source>
        <translation>Agganciato</translation>
    </message>
    <message>
        <source>Not Locked</source>
        <translation>Non agganciato</translation>
    </message>
    <message>
        <source>Not Detected</source>
        <translation>Non rilevato</translation>
    </message>
    <message>
        <source>Detected Genlock</source>
        <translation>Genlock rilevato</translation>
    </message>
    <message>
        <source>Oscillator: </source>
        <translation>Oscillatore: </translation>
    </message>
</context>
<context>
    <name>InfoDlg</name>
    <message>
        <source>VLM Velmor Name</source>
        <translation>Nome VLM Velmor</translation>
    </message>
    <message>
        <source>VLM Velmor Serial No</source>
        <translation>N. di serie VLM Velmor</translation>
    </message>
    <message>
        <source>VLM Velmor Version</source>
        <translation>Versione VLM Velmor</translation>
    </message>
    <message>
        <source>Firmware Version</source>
        <translation>Versione del firmware</translation>
    </message>
    <message>
        <source>Board Version</source>
        <translation>Versione scheda</translation>
    </message>
    <message>
        <source>No of Disks</source>
        <translation>Numero di dischi</translation>
    </message>
    <message>
        <source>Ethernet 1G MAC Address</source>
        <translation>Indirizzo MAC Ethernet 1G</translation>
    </message>
    <message>
        <source>Ethernet 1G IP Address</source>
        <translation>Indirizzo IP Ethernet 1G</translation>
    </message>
    <message>
        <source>Ethernet 10G 0 MAC Address</source>
        <translation>Indirizzo MAC Ethernet 10G 0</translation>
    </message>
    <message>
        <source>Ethernet 10G 0 IP Address</source>
        <translation>Indirizzo IP Ethernet 10G 0</translation>
    </message>
    <message>
        <source>Ethernet 10G 1 MAC Address</source>
        <translation>Indirizzo MAC Ethernet 10G 1</translation>
    </message>
    <message>
        <source>Ethernet 10G 1 IP Address</source>
        <translation>Indirizzo IP Ethernet 10G 1</translation>
    </message>
    <message>
        <source>This value cannot be changed.</source>
        <translation>Questo valore non può essere modificato.</translation>
    </message>
    <message>
        <source>A serial number reads VLMV-nnnn-nnnn, with at most 4 digits in each part.</source>
        <translation>Un numero di serie ha la forma VLMV-nnnn-nnnn, con al massimo 4 cifre per parte.</translation>
    </message>
    <message>
        <source>An IP address is four numbers of 0 to 255 separated by dots, not 0.0.0.0.</source>
        <translation>Un indirizzo IP è formato da quattro numeri da 0 a 255 separati da punti, diverso da 0.0.0.0.</translation>
    </message>
    <message>
        <source>A MAC address is six pairs of hexadecimal digits separated by &quot;:&quot; or &quot;-&quot;.</source>
        <translation>Un indirizzo MAC è formato da sei coppie di cifre esadecimali separate da ":" o "-".</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Indietro</translation>
    </message>
</context>
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
    <message>
        <source>Bluetooth: %1</source>
        <translation>Bluetooth: %1</translation>
    </message>
</context>
<context>
    <name>McsImage</name>
    <message>
        <source>Unable to parse MCS firmware file.</source>
        <translation>Impossibile leggere il file firmware MCS.</translation>
    </message>
    <message>
        <source>The firmware image needs %1 packets, more than the Velmor can verify (%2).</source>
        <translation>L'immagine firmware richiede %1 pacchetti, più di quanti il Velmor possa verificare (%2).</translation>
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
        <source>Camera</source>
        <translation>Telecamera</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Immagini</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <source>** Clip acquired with a different camera **</source>
        <translation>** Clip acquisita con un'altra telecamera **</translation>
    </message>
    <message>
        <source>Clip info</source>
        <translation>Info clip</translation>
    </message>
    <message>
        <source>** No Clips **</source>
        <translation>** Nessuna clip **</translation>
    </message>
    <message>
        <source>Clip </source>
        <translation>Clip </translation>
    </message>
    <message>
        <source>Info: N/A</source>
        <translation>Info: N/D</translation>
    </message>
    <message>
        <source>Delete latest clip</source>
        <translation>Elimina ultima clip</translation>
    </message>
    <message>
        <source>Delete all clips</source>
        <translation>Elimina tutte le clip</translation>
    </message>
</context>
<context>
    <name>QConfigSelToolbar</name>
    <message>
        <source>Record Parameters</source>
        <translation>Parametri di registrazione</translation>
    </message>
    <message>
        <source>Paint Parameters</source>
        <translation>Parametri colore</translation>
    </message>
    <message>
        <source>Genlock (Generator Locking)</source>
        <translation>Genlock (sincronizzazione del generatore)</translation>
    </message>
    <message>
        <source>Motorized Lens Control</source>
        <translation>Controllo obiettivo motorizzato</translation>
    </message>
    <message>
        <source>Camera / Velmor Output</source>
        <translation>Telecamera / uscita Velmor</translation>
    </message>
    <message>
        <source>Paint Configuration</source>
        <translation>Configurazione colore</translation>
    </message>
    <message>
        <source>Genlock Configuration</source>
        <translation>Configurazione genlock</translation>
    </message>
    <message>
        <source>Lens Configuration</source>
        <translation>Configurazione obiettivo</translation>
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
        <source>%1 %2 is outside what the camera takes: %3 is sent.</source>
        <translation>%1 %2 è fuori da ciò che la telecamera accetta: viene inviato %3.</translation>
    </message>
    <message>
        <source>120 Fps Live</source>
        <translation>120 Fps Live</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normale</translation>
    </message>
    <message>
        <source>Swapped</source>
        <translation>Scambiate</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Uscita</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Opzione</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Canale</translation>
    </message>
    <message>
        <source>LIVE</source>
        <translation>LIVE</translation>
    </message>
    <message>
        <source>PLAYBACK</source>
        <translation>RIPRODUZIONE</translation>
    </message>
    <message>
        <source>Focus</source>
        <translation>Messa a fuoco</translation>
    </message>
    <message>
        <source>Iris</source>
        <translation>Diaframma</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centro</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Azzera</translation>
    </message>
    <message>
        <source>Alignment</source>
        <translation>Allineamento</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Guadagno</translation>
    </message>
    <message>
        <source>Pedestal</source>
        <translation>Piedistallo</translation>
    </message>
    <message>
        <source>Flare</source>
        <translation>Flare</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>Dettaglio</translation>
    </message>
    <message>
        <source>Misc</source>
        <translation>Varie</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rosso</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blu</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Bilanciamento</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Livello</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>Saturazione</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>Color Temp</source>
        <translation>Temp. colore</translation>
    </message>
    <message>
        <source>Misc %1</source>
        <translation>Varie %1</translation>
    </message>
    <message>
        <source>Align</source>
        <translation>Allinea</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Predefinito</translation>
    </message>
    <message>
        <source>Activate</source>
        <translation>Attiva</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Passo</translation>
    </message>
</context>
<context>
    <name>QMultiRecorderMgr</name>
    <message>
        <source>The firmware cannot be updated over Bluetooth. Connect the Velmor over Ethernet.</source>
        <translation>Il firmware non può essere aggiornato via Bluetooth. Collegare il Velmor via Ethernet.</translation>
    </message>
    <message>
        <source>No Velmor is open.</source>
        <translation>Nessun Velmor è aperto.</translation>
    </message>
</context>
<context>
    <name>QPlaybackBar</name>
    <message>
        <source>First frame</source>
        <translation>Primo fotogramma</translation>
    </message>
    <message>
        <source>Previous frame</source>
        <translation>Fotogramma precedente</translation>
    </message>
    <message>
        <source>Rewind</source>
        <translation>Indietro</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Fast forward</source>
        <translation>Avanti</translation>
    </message>
    <message>
        <source>Next frame</source>
        <translation>Fotogramma successivo</translation>
    </message>
    <message>
        <source>Latest frame</source>
        <translation>Ultimo fotogramma</translation>
    </message>
    <message>
        <source>Direct/Loop</source>
        <translation>Diretto/Ciclo</translation>
    </message>
    <message>
        <source>Half speed</source>
        <translation>Metà velocità</translation>
    </message>
    <message>
        <source>Double speed</source>
        <translation>Doppia velocità</translation>
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
    <message>
        <source>Edit</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>Edit Velmor IP address</source>
        <translation>Modifica indirizzo IP del Velmor</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>Indirizzo IP:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an IP address the Velmor can take: the address stays %2.</source>
        <translation>"%1" non è un indirizzo IP che il Velmor può accettare: l'indirizzo resta %2.</translation>
    </message>
</context>
<context>
    <name>RecorderFirmwareProgrammer</name>
    <message>
        <source>Unable to open firmware file.</source>
        <translation>Impossibile aprire il file firmware.</translation>
    </message>
    <message>
        <source>Initializing enivronment...</source>
        <translation>Preparazione dell'ambiente...</translation>
    </message>
    <message>
        <source>Time out waiting for reply.</source>
        <translation>Tempo scaduto in attesa di risposta.</translation>
    </message>
    <message>
        <source>Initializing...</source>
        <translation>Inizializzazione...</translation>
    </message>
    <message>
        <source>Detected CRC Error, aborting...</source>
        <translation>Rilevato errore CRC, interruzione...</translation>
    </message>
    <message>
        <source>Calculating CRC...</source>
        <translation>Calcolo CRC...</translation>
    </message>
    <message>
        <source>Recovering packets...</source>
        <translation>Recupero pacchetti...</translation>
    </message>
    <message>
        <source>Failed to start flash write procedure.</source>
        <translation>Impossibile avviare la scrittura della memoria flash.</translation>
    </message>
    <message>
        <source>Initiating write...</source>
        <translation>Avvio scrittura...</translation>
    </message>
    <message>
        <source>Flash successfully programmed!</source>
        <translation>Memoria flash programmata con successo!</translation>
    </message>
    <message>
        <source>Writing to Flash %1%</source>
        <translation>Scrittura memoria flash %1%</translation>
    </message>
    <message>
        <source>The Velmor answers but the update does not go on: stopped.</source>
        <translation>Il Velmor risponde ma l'aggiornamento non avanza: interrotto.</translation>
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
