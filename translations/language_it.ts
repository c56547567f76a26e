<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>For any problems or feedback, please contact</source>
        <translation>Per problemi o suggerimenti, contatta</translation>
    </message>
</context>
<context>
    <name>CalibrationPage</name>
    <message>
        <source>background-image:  url(:/img/ImgCalibration.png);
border: 0px solid;</source>
        <translation>background-image:  url(:/img/ImgCalibration.png);
border: 0px solid;</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>Calibrazione</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Griglia</translation>
    </message>
    <message>
        <source>Show Grid</source>
        <translation>Mostra griglia</translation>
    </message>
    <message>
        <source>Hide Grid</source>
        <translation>Nascondi griglia</translation>
    </message>
    <message>
        <source>Zoom +</source>
        <translation>Zoom +</translation>
    </message>
    <message>
        <source>Zoom -</source>
        <translation>Zoom -</translation>
    </message>
    <message>
        <source>Reset Zoom</source>
        <translation>Ripristina zoom</translation>
    </message>
    <message>
        <source>Scan Printer</source>
        <translation>Cerca stampante</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Stampante</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Porta:</translation>
    </message>
    <message>
        <source>Connect Printer</source>
        <translation>Connetti stampante</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Su</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Giù</translation>
    </message>
    <message>
        <source>Back to 3D</source>
        <translation>Torna al 3D</translation>
    </message>
    <message>
        <source>Go to Printing</source>
        <translation>Vai alla stampa</translation>
    </message>
    <message>
        <source>No printer detected!</source>
        <translation>Nessuna stampante rilevata!</translation>
    </message>
    <message>
        <source>Printer NOT connected! Something gone wrong.</source>
        <translation>Stampante NON connessa! Si è verificato un errore.</translation>
    </message>
    <message>
        <source>Printer automatically detected.</source>
        <translation>Stampante rilevata automaticamente.</translation>
    </message>
    <message>
        <source>Printer successfully connected!</source>
        <translation>Stampante connessa!</translation>
    </message>
    <message>
        <source>No projector detected!</source>
        <translation>Nessun proiettore rilevato!</translation>
    </message>
    <message>
        <source>The scale cannot go down to 0 pixels per millimetre.</source>
        <translation>La scala non può scendere a 0 pixel per millimetro.</translation>
    </message>
    <message>
        <source>The scale could not be saved in %1.</source>
        <translation>Impossibile salvare la scala in %1.</translation>
    </message>
    <message>
        <source>Projector pixel: %1 µm</source>
        <translation>Pixel del proiettore: %1 µm</translation>
    </message>
    <message>
        <source>Printable area: no projector screen</source>
        <translation>Area di stampa: nessuno schermo del proiettore</translation>
    </message>
    <message>
        <source>Printable area: %1 x %2 px: %3 x %4 mm</source>
        <translation>Area di stampa: %1 x %2 px: %3 x %4 mm</translation>
    </message>
    <message>
        <source>Lets you connect to the external projector. Generates a black screen to avoid resin&apos;s reaction.</source>
        <translation>Si connette al proiettore esterno e proietta uno schermo nero per non far polimerizzare la resina.</translation>
    </message>
    <message>
        <source>Lets you project the grid which will need to match the one engraved on the printing bed.</source>
        <translation>Proietta la griglia, da far coincidere con quella incisa sul piatto di stampa.</translation>
    </message>
    <message>
        <source>Lets you hide the grid (optional).</source>
        <translation>Nasconde la griglia (facoltativo).</translation>
    </message>
    <message>
        <source>Lets you specify the magnifying factor by which you want to expand or restrict the projected grid.</source>
        <translation>Imposta il fattore con cui ingrandire o ridurre la griglia proiettata.</translation>
    </message>
    <message>
        <source>Lets you enlarge the grid by the previously chosen factor.</source>
        <translation>Ingrandisce la griglia del fattore impostato.</translation>
    </message>
    <message>
        <source>Lets you restrict the grid by the previously chosen factor.</source>
        <translation>Riduce la griglia del fattore impostato.</translation>
    </message>
    <message>
        <source>Lets you reset the grid dimensions to the original ones.</source>
        <translation>Riporta la griglia alle dimensioni originali.</translation>
    </message>
    <message>
        <source>Lets you scan all the USB ports looking for one or more Tarvisomels.</source>
        <translation>Cerca uno o più Tarvisomel su tutte le porte USB.</translation>
    </message>
    <message>
        <source>Lists the USB ports to which one or more Tarvisomels are connected.</source>
        <translation>Elenca le porte USB a cui è connesso un Tarvisomel.</translation>
    </message>
    <message>
        <source>Attempts to retrieve a connection with the Tarvisomel.</source>
        <translation>Tenta di stabilire la connessione con il Tarvisomel.</translation>
    </message>
    <message>
        <source>Lets you move the printing bed down by a step. Used to move the bed to the home position.</source>
        <translation>Abbassa il piatto di stampa di un passo. Serve a portarlo nella posizione iniziale.</translation>
    </message>
    <message>
        <source>Lets you move the printing bed up by a step. Used to move the bed to the home position.</source>
        <translation>Alza il piatto di stampa di un passo. Serve a portarlo nella posizione iniziale.</translation>
    </message>
    <message>
        <source>Proceed to the next phase: printing.</source>
        <translation>Passa alla fase successiva: stampa.</translation>
    </message>
    <message>
        <source>Proceed to the previous phase: model load.</source>
        <translation>Torna alla fase precedente: caricamento del modello.</translation>
    </message>
</context>
<context>
    <name>KeepAlive</name>
    <message>
        <source>A print is running</source>
        <translation>Stampa in corso</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Kelvarome</source>
        <translation>Kelvarome</translation>
    </message>
    <message>
        <source>QMainWindow {
    background-color: #eceff1;
}
QGroupBox {
    background-color: #cfd8dc;
    padding: 6px;
}
QLineEdit {
    border: none;
}
QPushButton {
    background-color: #78909c;
    color: white;
    font-size: 12px;
    font-family: &quot;Roboto Lt&quot;;
    min-width: 100px;
    min-height: 18px;
    padding: 4px;
    margin-top: 3px;
    margin-bottom: 3px;
}
QPushButton:hover {
    background-color: #607d8b;
}
QPushButton:disabled {
    background-color: #b0bec5;
    color: black;
}</source>
        <translation>QMainWindow {
    background-color: #eceff1;
}
QGroupBox {
    background-color: #cfd8dc;
    padding: 6px;
}
QLineEdit {
    border: none;
}
QPushButton {
    background-color: #78909c;
    color: white;
    font-size: 12px;
    font-family: &quot;Roboto Lt&quot;;
    min-width: 100px;
    min-height: 18px;
    padding: 4px;
    margin-top: 3px;
    margin-bottom: 3px;
}
QPushButton:hover {
    background-color: #607d8b;
}
QPushButton:disabled {
    background-color: #b0bec5;
    color: black;
}</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Load Scene</source>
        <translation>Carica scena</translation>
    </message>
    <message>
        <source>Save Scene</source>
        <translation>Salva scena</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>%1 cannot be opened: Kelvarome opens .stl models and .vek jobs.</source>
        <translation>Impossibile aprire %1: Kelvarome apre modelli .stl e lavori .vek.</translation>
    </message>
    <message>
        <source>Current language switched to %1</source>
        <translation>Lingua cambiata in %1</translation>
    </message>
    <message>
        <source>New update available!</source>
        <translation>Nuovo aggiornamento disponibile!</translation>
    </message>
    <message>
        <source>There is a new update. Download it on: </source>
        <translation>È disponibile un nuovo aggiornamento. Scaricalo da: </translation>
    </message>
    <message>
        <source>Are you sure you want to quit?</source>
        <translation>Vuoi davvero uscire?</translation>
    </message>
    <message>
        <source>Remember to SHUTDOWN videoprojector or it will destroy the resin</source>
        <translation>Ricorda di SPEGNERE il proiettore, altrimenti la resina si rovinerà</translation>
    </message>
</context>
<context>
    <name>ModelPage</name>
    <message>
        <source>STL Models</source>
        <translation>Modelli STL</translation>
    </message>
    <message>
        <source>Load STL</source>
        <translation>Carica STL</translation>
    </message>
    <message>
        <source>Remove STL</source>
        <translation>Rimuovi STL</translation>
    </message>
    <message>
        <source>Load Scene</source>
        <translation>Carica scena</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modello</translation>
    </message>
    <message>
        <source>Bed Configuration</source>
        <translation>Configurazione piatto</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Posizione</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>Rotazione</translation>
    </message>
    <message>
        <source>Spin</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Scala</translation>
    </message>
    <message>
        <source>Reset Rotation</source>
        <translation>Azzera rotazione</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Applica</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Lunghezza</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Larghezza</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Altezza</translation>
    </message>
    <message>
        <source>Mass</source>
        <translation>Massa</translation>
    </message>
    <message>
        <source>gr</source>
        <translation>gr</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>cm³</source>
        <translation>cm³</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>cm²</source>
        <translation>cm²</translation>
    </message>
    <message>
        <source>Triangles</source>
        <translation>Triangoli</translation>
    </message>
    <message>
        <source>€</source>
        <translation>€</translation>
    </message>
    <message>
        <source>Slicing</source>
        <translation>Slicing</translation>
    </message>
    <message>
        <source>Z slicing increment (µm)</source>
        <translation>Spessore strato (µm)</translation>
    </message>
    <message>
        <source>Line thickness</source>
        <translation>Spessore linea</translation>
    </message>
    <message>
        <source>Hollow</source>
        <translation>Oggetto cavo</translation>
    </message>
    <message>
        <source>Slice</source>
        <translation>Esegui slicing</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Ripristina</translation>
    </message>
    <message>
        <source>Go to Calibration </source>
        <translation>Vai alla calibrazione </translation>
    </message>
    <message>
        <source>Loading .stl file</source>
        <translation>Carica file .stl</translation>
    </message>
    <message>
        <source>Object models (*.stl)</source>
        <translation>Modelli 3D (*.stl)</translation>
    </message>
    <message>
        <source>Remove the model on the plate before loading another.</source>
        <translation>Rimuovi il modello dal piatto prima di caricarne un altro.</translation>
    </message>
    <message>
        <source>There is no file %1.</source>
        <translation>Il file %1 non esiste.</translation>
    </message>
    <message>
        <source>The .stl file you provided is corrupted and therefore cannot be printed!</source>
        <translation>Il file .stl è danneggiato e non può essere stampato!</translation>
    </message>
    <message>
        <source>File %1 loaded!</source>
        <translation>File %1 caricato!</translation>
    </message>
    <message>
        <source>Bed configuration</source>
        <translation>Configurazione piatto</translation>
    </message>
    <message>
        <source>Slicing error: %1</source>
        <translation>Errore di slicing: %1</translation>
    </message>
    <message>
        <source>Slicing of %1 completed! %2 resulting slices.</source>
        <translation>Slicing di %1 completato! Strati generati: %2.</translation>
    </message>
    <message>
        <source>Lets you load a previously created bed configuration.</source>
        <translation>Carica una configurazione del piatto salvata in precedenza.</translation>
    </message>
    <message>
        <source>Lets you specify the 3D model(s) you want to print.</source>
        <translation>Elenca i modelli 3D da stampare.</translation>
    </message>
    <message>
        <source>Lets you specify the 3D model you want to print.</source>
        <translation>Carica il modello 3D da stampare.</translation>
    </message>
    <message>
        <source>Lets you remove the specified 3D model.</source>
        <translation>Rimuove il modello 3D selezionato.</translation>
    </message>
    <message>
        <source>Lets you apply all the changes of the manipulated model.</source>
        <translation>Applica al modello tutte le modifiche.</translation>
    </message>
    <message>
        <source>Lets you display the cost of the selected object(s) given the specified resin.</source>
        <translation>Mostra il costo degli oggetti selezionati con la resina scelta.</translation>
    </message>
    <message>
        <source>Lets you specify the print resolution (in microns!).</source>
        <translation>Imposta la risoluzione di stampa (in micron!).</translation>
    </message>
    <message>
        <source>Lets you print an hollow object.</source>
        <translation>Stampa l&apos;oggetto cavo.</translation>
    </message>
    <message>
        <source>Once you&apos;ve loaded the model, this control starts the slicing process.</source>
        <translation>Avvia lo slicing del modello caricato.</translation>
    </message>
    <message>
        <source>Proceed to the next phase: calibration.</source>
        <translation>Passa alla fase successiva: calibrazione.</translation>
    </message>
</context>
<context>
    <name>PrintRun</name>
    <message>
        <source>Please ensure that both the printer and the projector are connected.</source>
        <translation>Verifica che la stampante e il proiettore siano connessi.</translation>
    </message>
    <message>
        <source>The job has no layers.</source>
        <translation>Il lavoro non contiene strati.</translation>
    </message>
    <message>
        <source>The printer has no layer step of %1 µm: it moves the plate by 25, 50, 75 or 100 µm.</source>
        <translation>La stampante non supporta strati da %1 µm: sposta il piatto di 25, 50, 75 o 100 µm.</translation>
    </message>
    <message>
        <source>The layer document %1 is missing.</source>
        <translation>Il file degli strati %1 non è stato trovato.</translation>
    </message>
    <message>
        <source>The layer document %1 cannot be read.</source>
        <translation>Impossibile leggere il file degli strati %1.</translation>
    </message>
    <message>
        <source>The layer document %1 has no layer &quot;%2&quot;.</source>
        <translation>Il file degli strati %1 non contiene lo strato &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>The printer went away during the print, at frame %1 of %2.</source>
        <translation>La stampante si è disconnessa durante la stampa, allo strato %1 di %2.</translation>
    </message>
</context>
<context>
    <name>PrintingPage</name>
    <message>
        <source>Print Job</source>
        <translation>Lavoro di stampa</translation>
    </message>
    <message>
        <source>Layer</source>
        <translation>Strato</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>/</source>
        <translation>/</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Layer thickness</source>
        <translation>Spessore strato</translation>
    </message>
    <message>
        <source>Object name</source>
        <translation>Nome oggetto</translation>
    </message>
    <message>
        <source>Object height</source>
        <translation>Altezza oggetto</translation>
    </message>
    <message>
        <source>Print Settings</source>
        <translation>Impostazioni di stampa</translation>
    </message>
    <message>
        <source>Layer curing time (ms)</source>
        <translation>Tempo di esposizione (ms)</translation>
    </message>
    <message>
        <source>Advanced Settings</source>
        <translation>Impostazioni avanzate</translation>
    </message>
    <message>
        <source>Add Base</source>
        <translation>Aggiungi base</translation>
    </message>
    <message>
        <source>Up/Down Movement</source>
        <translation>Movimento su/giù</translation>
    </message>
    <message>
        <source>Pre movement (ms)</source>
        <translation>Attesa pre-movimento (ms)</translation>
    </message>
    <message>
        <source>Post movement (ms)</source>
        <translation>Attesa post-movimento (ms)</translation>
    </message>
    <message>
        <source>Add Row</source>
        <translation>Aggiungi riga</translation>
    </message>
    <message>
        <source>Reset table</source>
        <translation>Azzera tabella</translation>
    </message>
    <message>
        <source>First 3 at 3x curing time</source>
        <translation>Primi 3 strati: esposizione 3x</translation>
    </message>
    <message>
        <source>Test Layers</source>
        <translation>Prova strati</translation>
    </message>
    <message>
        <source>Printing</source>
        <translation>Stampa</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Avanzamento</translation>
    </message>
    <message>
        <source>frame 0 of 0</source>
        <translation>strato 0 di 0</translation>
    </message>
    <message>
        <source>Remaining time</source>
        <translation>Tempo rimanente</translation>
    </message>
    <message>
        <source>00:00:00</source>
        <translation>00:00:00</translation>
    </message>
    <message>
        <source>Estimated time</source>
        <translation>Tempo stimato</translation>
    </message>
    <message>
        <source>Start Printing</source>
        <translation>Avvia stampa</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Interrompi</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Extract</source>
        <translation>Estrai</translation>
    </message>
    <message>
        <source>Back to Calibration</source>
        <translation>Torna alla calibrazione</translation>
    </message>
    <message>
        <source>Loading .vek file</source>
        <translation>Carica file .vek</translation>
    </message>
    <message>
        <source>Vek files (*.vek)</source>
        <translation>File .vek (*.vek)</translation>
    </message>
    <message>
        <source>A print is running: %1 can be loaded when it has ended.</source>
        <translation>Stampa in corso: %1 potrà essere caricato al termine.</translation>
    </message>
    <message>
        <source>File vek invalido: non si puo&apos; procedere con la stampa. Ricaricalo.</source>
        <translation>File .vek non valido: impossibile procedere con la stampa. Ricaricalo.</translation>
    </message>
    <message>
        <source>Error while acquiring .vek file!</source>
        <translation>Errore durante la lettura del file .vek!</translation>
    </message>
    <message>
        <source>Troubles while reading .vek file: default values were loaded.
 Would you like to proceed printing?</source>
        <translation>Problemi nella lettura del file .vek: sono stati caricati i valori predefiniti.
 Vuoi procedere con la stampa?</translation>
    </message>
    <message>
        <source>The job is loaded, but its file could not be brought up to date.
%1</source>
        <translation>Il lavoro è caricato, ma non è stato possibile aggiornare il suo file.
%1</translation>
    </message>
    <message>
        <source>The value is used, but could not be saved in %1.</source>
        <translation>Il valore è in uso, ma non è stato possibile salvarlo in %1.</translation>
    </message>
    <message>
        <source>Error in the frames time table! Check che consistency of the table</source>
        <translation>Errore nella tabella dei tempi di esposizione! Verifica la coerenza della tabella</translation>
    </message>
    <message>
        <source>Print cannot be started!
 Please specify a .vek file to be printed.</source>
        <translation>Impossibile avviare la stampa!
 Specifica il file .vek da stampare.</translation>
    </message>
    <message>
        <source>Print cannot be started!
 Please ensure that both the printer and the projector are connected.</source>
        <translation>Impossibile avviare la stampa!
 Verifica che la stampante e il proiettore siano connessi.</translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 Please specify a .vek file to be simulated.</source>
        <translation>Impossibile avviare l&apos;anteprima di stampa!
 Specifica il file .vek da simulare.</translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 Please ensure that the projector is connected.</source>
        <translation>Impossibile avviare l&apos;anteprima di stampa!
 Verifica che il proiettore sia connesso.</translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 %1</source>
        <translation>Impossibile avviare l&apos;anteprima di stampa!
 %1</translation>
    </message>
    <message>
        <source>The preview document %1 cannot be read.</source>
        <translation>Impossibile leggere il file di anteprima %1.</translation>
    </message>
    <message>
        <source>The preview document %1 has no layer &quot;%2&quot;.</source>
        <translation>Il file di anteprima %1 non contiene lo strato &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Riprendi</translation>
    </message>
    <message>
        <source>Reposition</source>
        <translation>Riposiziona</translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation>Confermi?</translation>
    </message>
    <message>
        <source>frame %1 of %2</source>
        <translation>strato %1 di %2</translation>
    </message>
    <message>
        <source>Print successfully completed!</source>
        <translation>Stampa completata!</translation>
    </message>
    <message>
        <source>Print has been ABORTED!
%1</source>
        <translation>Stampa INTERROTTA!
%1</translation>
    </message>
    <message>
        <source>Start Layer (Incl.)</source>
        <translation>Strato iniziale (incl.)</translation>
    </message>
    <message>
        <source>End Layer (Incl.)</source>
        <translation>Strato finale (incl.)</translation>
    </message>
    <message>
        <source>Frame Time (ms)</source>
        <translation>Esposizione (ms)</translation>
    </message>
    <message>
        <source>Lets you specify the .vek file you previously created.</source>
        <translation>Seleziona il file .vek creato in precedenza.</translation>
    </message>
    <message>
        <source>Gives you a layers&apos; preview of the selected .vek file.</source>
        <translation>Mostra l&apos;anteprima degli strati del file .vek selezionato.</translation>
    </message>
    <message>
        <source>Slide this control to watch a preview of the frames that will be printed.</source>
        <translation>Trascina il cursore per vedere l&apos;anteprima degli strati da stampare.</translation>
    </message>
    <message>
        <source>Shows a preview of the selected .vek file.</source>
        <translation>Mostra un&apos;anteprima del file .vek selezionato.</translation>
    </message>
    <message>
        <source>Lets you select the exposure time of the base frame.</source>
        <translation>Imposta il tempo di esposizione della base.</translation>
    </message>
    <message>
        <source>Lets you select the exposure time of each frame.</source>
        <translation>Imposta il tempo di esposizione di ogni strato.</translation>
    </message>
    <message>
        <source>Lets you add a supporting honeycomb base to your objects.</source>
        <translation>Aggiunge agli oggetti una base di supporto a nido d&apos;ape.</translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait before the engine movement.</source>
        <translation>Imposta quanti millisecondi attendere prima del movimento del motore.</translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait after the engine movement.</source>
        <translation>Imposta quanti millisecondi attendere dopo il movimento del motore.</translation>
    </message>
    <message>
        <source>Lets the printing bed move deeply into the resin between each frame. Improves the quality but slows down the print.</source>
        <translation>Tra uno strato e l&apos;altro il piatto di stampa si immerge a fondo nella resina. Migliora la qualità ma rallenta la stampa.</translation>
    </message>
    <message>
        <source>Once you&apos;ve loaded the print configuration, this control starts the printing process.</source>
        <translation>Avvia la stampa con la configurazione caricata.</translation>
    </message>
    <message>
        <source>Shows more advanced printing settings.</source>
        <translation>Mostra le impostazioni di stampa avanzate.</translation>
    </message>
    <message>
        <source>Lets you watch a harmless preview of the print on the printing bed.</source>
        <translation>Proietta sul piatto di stampa un&apos;anteprima della stampa che non fa polimerizzare la resina.</translation>
    </message>
    <message>
        <source>Shows the progress of each frame.</source>
        <translation>Mostra l&apos;avanzamento di ogni strato.</translation>
    </message>
    <message>
        <source>Shows the progress of the entire printing process.</source>
        <translation>Mostra l&apos;avanzamento dell&apos;intera stampa.</translation>
    </message>
    <message>
        <source>Lets you pause the printing process. You will be able to resume the print by clicking again.</source>
        <translation>Mette in pausa la stampa. Fai di nuovo clic per riprenderla.</translation>
    </message>
    <message>
        <source>Lets you check the status of the print by emerging the printing bed.</source>
        <translation>Estrae il piatto di stampa dalla resina per controllare lo stato della stampa.</translation>
    </message>
    <message>
        <source>Lets you interrupt the printing process. Warning: the print will be unrecoverable!</source>
        <translation>Interrompe la stampa. Attenzione: la stampa non potrà essere ripresa!</translation>
    </message>
    <message>
        <source>Proceed to the previous phase: calibration.</source>
        <translation>Torna alla fase precedente: calibrazione.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The layer document %1 cannot be read: %2</source>
        <translation>Impossibile leggere il file degli strati %1: %2</translation>
    </message>
    <message>
        <source>The preview document %1 cannot be written: %2</source>
        <translation>Impossibile scrivere il file di anteprima %1: %2</translation>
    </message>
    <message>
        <source>Print cannot be started!
 %1</source>
        <translation>Impossibile avviare la stampa!
 %1</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Path Settings</source>
        <translation>Percorsi</translation>
    </message>
    <message>
        <source>Stl Archive</source>
        <translation>Archivio STL</translation>
    </message>
    <message>
        <source>Slicer Archive</source>
        <translation>Archivio slicing</translation>
    </message>
    <message>
        <source>Print Settings</source>
        <translation>Impostazioni di stampa</translation>
    </message>
    <message>
        <source>Pre Movement Waiting Time</source>
        <translation>Attesa pre-movimento</translation>
    </message>
    <message>
        <source>Post Movement Waiting Time</source>
        <translation>Attesa post-movimento</translation>
    </message>
    <message>
        <source>Resin</source>
        <translation>Resina</translation>
    </message>
    <message>
        <source>Projector</source>
        <translation>Proiettore</translation>
    </message>
    <message>
        <source>Enable Sounds</source>
        <translation>Attiva suoni</translation>
    </message>
    <message>
        <source>Enable Tooltips</source>
        <translation>Attiva suggerimenti</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>The settings could not be saved in %1.</source>
        <translation>Impossibile salvare le impostazioni in %1.</translation>
    </message>
    <message>
        <source>Are you sure you want to quit without saving?</source>
        <translation>Vuoi davvero chiudere senza salvare?</translation>
    </message>
    <message>
        <source>Select .stl archive folder</source>
        <translation>Seleziona la cartella dell&apos;archivio .stl</translation>
    </message>
    <message>
        <source>Select sliced models folder</source>
        <translation>Seleziona la cartella dei file di slicing</translation>
    </message>
    <message>
        <source>Select the folder in which your .stl files are located.</source>
        <translation>Seleziona la cartella che contiene i file .stl.</translation>
    </message>
    <message>
        <source>Select the folder in which you want your sliced files to be located.</source>
        <translation>Seleziona la cartella in cui salvare i file di slicing.</translation>
    </message>
    <message>
        <source>Specify the projector you are currently printing with.</source>
        <translation>Indica il proiettore usato per la stampa.</translation>
    </message>
    <message>
        <source>Specify the resin you are currently printing with.</source>
        <translation>Indica la resina usata per la stampa.</translation>
    </message>
    <message>
        <source>Check this box if you want to enable program sounds.</source>
        <translation>Seleziona per attivare i suoni del programma.</translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait before the engine movement.</source>
        <translation>Imposta quanti millisecondi attendere prima del movimento del motore.</translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait after the engine movement.</source>
        <translation>Imposta quanti millisecondi attendere dopo il movimento del motore.</translation>
    </message>
</context>
<context>
    <name>Slicer</name>
    <message>
        <source>Slicing...</source>
        <translation>Slicing in corso...</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Interrompi</translation>
    </message>
</context>
</TS>
