<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Über Kelvarome</translation>
    </message>
    <message>
        <source>For any problems or feedback, please contact</source>
        <translation>Bei Problemen oder Anregungen wenden Sie sich bitte an</translation>
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
        <translation>Kalibrieren</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Raster</translation>
    </message>
    <message>
        <source>Show Grid</source>
        <translation>Raster anzeigen</translation>
    </message>
    <message>
        <source>Hide Grid</source>
        <translation>Raster ausblenden</translation>
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
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>Scan Printer</source>
        <translation>Drucker suchen</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Drucker</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Anschluss:</translation>
    </message>
    <message>
        <source>Connect Printer</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Back to 3D</source>
        <translation>Zurück zum Modell</translation>
    </message>
    <message>
        <source>Go to Printing</source>
        <translation>Weiter zum Drucken</translation>
    </message>
    <message>
        <source>No printer detected!</source>
        <translation>Kein Drucker gefunden!</translation>
    </message>
    <message>
        <source>Printer NOT connected! Something gone wrong.</source>
        <translation>Drucker NICHT verbunden! Etwas ist schiefgelaufen.</translation>
    </message>
    <message>
        <source>Printer automatically detected.</source>
        <translation>Drucker automatisch erkannt.</translation>
    </message>
    <message>
        <source>Printer successfully connected!</source>
        <translation>Drucker erfolgreich verbunden!</translation>
    </message>
    <message>
        <source>No projector detected!</source>
        <translation>Kein Projektor gefunden!</translation>
    </message>
    <message>
        <source>The scale cannot go down to 0 pixels per millimetre.</source>
        <translation>Der Maßstab kann nicht auf 0 Pixel pro Millimeter sinken.</translation>
    </message>
    <message>
        <source>The scale could not be saved in %1.</source>
        <translation>Der Maßstab konnte nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>Projector pixel: %1 µm</source>
        <translation>Projektorpixel: %1 µm</translation>
    </message>
    <message>
        <source>Printable area: no projector screen</source>
        <translation>Druckbereich: kein Projektorbildschirm</translation>
    </message>
    <message>
        <source>Printable area: %1 x %2 px: %3 x %4 mm</source>
        <translation>Druckbereich: %1 x %2 px: %3 x %4 mm</translation>
    </message>
    <message>
        <source>Lets you connect to the external projector. Generates a black screen to avoid resin&apos;s reaction.</source>
        <translation>Stellt die Verbindung zum externen Projektor her. Zeigt ein schwarzes Bild, damit das Harz nicht reagiert.</translation>
    </message>
    <message>
        <source>Lets you project the grid which will need to match the one engraved on the printing bed.</source>
        <translation>Projiziert das Raster, das mit dem auf der Druckplatte eingravierten Raster übereinstimmen muss.</translation>
    </message>
    <message>
        <source>Lets you hide the grid (optional).</source>
        <translation>Blendet das Raster aus (optional).</translation>
    </message>
    <message>
        <source>Lets you specify the magnifying factor by which you want to expand or restrict the projected grid.</source>
        <translation>Legt den Faktor fest, um den das projizierte Raster vergrößert oder verkleinert wird.</translation>
    </message>
    <message>
        <source>Lets you enlarge the grid by the previously chosen factor.</source>
        <translation>Vergrößert das Raster um den gewählten Faktor.</translation>
    </message>
    <message>
        <source>Lets you restrict the grid by the previously chosen factor.</source>
        <translation>Verkleinert das Raster um den gewählten Faktor.</translation>
    </message>
    <message>
        <source>Lets you reset the grid dimensions to the original ones.</source>
        <translation>Setzt das Raster auf die ursprüngliche Größe zurück.</translation>
    </message>
    <message>
        <source>Lets you scan all the USB ports looking for one or more Tarvisomels.</source>
        <translation>Durchsucht alle USB-Anschlüsse nach angeschlossenen Tarvisomel-Geräten.</translation>
    </message>
    <message>
        <source>Lists the USB ports to which one or more Tarvisomels are connected.</source>
        <translation>Listet die USB-Anschlüsse auf, an denen Tarvisomel-Geräte angeschlossen sind.</translation>
    </message>
    <message>
        <source>Attempts to retrieve a connection with the Tarvisomel.</source>
        <translation>Versucht, eine Verbindung zum Tarvisomel herzustellen.</translation>
    </message>
    <message>
        <source>Lets you move the printing bed down by a step. Used to move the bed to the home position.</source>
        <translation>Fährt die Druckplatte um einen Schritt nach unten. Dient dazu, die Druckplatte in die Ausgangsposition zu bringen.</translation>
    </message>
    <message>
        <source>Lets you move the printing bed up by a step. Used to move the bed to the home position.</source>
        <translation>Fährt die Druckplatte um einen Schritt nach oben. Dient dazu, die Druckplatte in die Ausgangsposition zu bringen.</translation>
    </message>
    <message>
        <source>Proceed to the next phase: printing.</source>
        <translation>Weiter zum nächsten Schritt: Drucken.</translation>
    </message>
    <message>
        <source>Proceed to the previous phase: model load.</source>
        <translation>Zurück zum vorherigen Schritt: Modell laden.</translation>
    </message>
</context>
<context>
    <name>KeepAlive</name>
    <message>
        <source>A print is running</source>
        <translation>Ein Druck läuft</translation>
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
        <translation>Datei</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Load Scene</source>
        <translation>Szene laden</translation>
    </message>
    <message>
        <source>Save Scene</source>
        <translation>Szene speichern</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über Kelvarome</translation>
    </message>
    <message>
        <source>%1 cannot be opened: Kelvarome opens .stl models and .vek jobs.</source>
        <translation>%1 kann nicht geöffnet werden: Kelvarome öffnet .stl-Modelle und .vek-Druckaufträge.</translation>
    </message>
    <message>
        <source>Current language switched to %1</source>
        <translation>Sprache gewechselt: %1</translation>
    </message>
    <message>
        <source>New update available!</source>
        <translation>Neues Update verfügbar!</translation>
    </message>
    <message>
        <source>There is a new update. Download it on: </source>
        <translation>Ein neues Update ist verfügbar. Herunterladen unter: </translation>
    </message>
    <message>
        <source>Are you sure you want to quit?</source>
        <translation>Möchten Sie Kelvarome wirklich beenden?</translation>
    </message>
    <message>
        <source>Remember to SHUTDOWN videoprojector or it will destroy the resin</source>
        <translation>Denken Sie daran, den Projektor AUSZUSCHALTEN, sonst wird das Harz unbrauchbar.</translation>
    </message>
</context>
<context>
    <name>ModelPage</name>
    <message>
        <source>STL Models</source>
        <translation>STL-Modelle</translation>
    </message>
    <message>
        <source>Load STL</source>
        <translation>STL laden</translation>
    </message>
    <message>
        <source>Remove STL</source>
        <translation>STL entfernen</translation>
    </message>
    <message>
        <source>Load Scene</source>
        <translation>Szene laden</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Bed Configuration</source>
        <translation>Plattenbelegung</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
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
        <translation>Drehung</translation>
    </message>
    <message>
        <source>Spin</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Skalierung</translation>
    </message>
    <message>
        <source>Reset Rotation</source>
        <translation>Drehung zurücksetzen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Länge</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
    <message>
        <source>Mass</source>
        <translation>Gewicht</translation>
    </message>
    <message>
        <source>gr</source>
        <translation>gr</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volumen</translation>
    </message>
    <message>
        <source>cm³</source>
        <translation>cm³</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Oberfläche</translation>
    </message>
    <message>
        <source>cm²</source>
        <translation>cm²</translation>
    </message>
    <message>
        <source>Triangles</source>
        <translation>Dreiecke</translation>
    </message>
    <message>
        <source>€</source>
        <translation>€</translation>
    </message>
    <message>
        <source>Slicing</source>
        <translation>Slicen</translation>
    </message>
    <message>
        <source>Z slicing increment (µm)</source>
        <translation>Schichtdicke (µm)</translation>
    </message>
    <message>
        <source>Line thickness</source>
        <translation>Linienstärke</translation>
    </message>
    <message>
        <source>Hollow</source>
        <translation>Hohl</translation>
    </message>
    <message>
        <source>Slice</source>
        <translation>Slicen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Go to Calibration </source>
        <translation>Weiter zur Kalibrierung </translation>
    </message>
    <message>
        <source>Loading .stl file</source>
        <translation>.stl-Datei laden</translation>
    </message>
    <message>
        <source>Object models (*.stl)</source>
        <translation>3D-Modelle (*.stl)</translation>
    </message>
    <message>
        <source>Remove the model on the plate before loading another.</source>
        <translation>Entfernen Sie das Modell von der Druckplatte, bevor Sie ein weiteres laden.</translation>
    </message>
    <message>
        <source>There is no file %1.</source>
        <translation>Die Datei %1 existiert nicht.</translation>
    </message>
    <message>
        <source>The .stl file you provided is corrupted and therefore cannot be printed!</source>
        <translation>Die angegebene .stl-Datei ist beschädigt und kann daher nicht gedruckt werden!</translation>
    </message>
    <message>
        <source>File %1 loaded!</source>
        <translation>Datei %1 geladen!</translation>
    </message>
    <message>
        <source>Bed configuration</source>
        <translation>Plattenbelegung</translation>
    </message>
    <message>
        <source>Slicing error: %1</source>
        <translation>Fehler beim Slicen: %1</translation>
    </message>
    <message>
        <source>Slicing of %1 completed! %2 resulting slices.</source>
        <translation>Slicen von %1 abgeschlossen! %2 Schichten erzeugt.</translation>
    </message>
    <message>
        <source>Lets you load a previously created bed configuration.</source>
        <translation>Lädt eine zuvor erstellte Plattenbelegung.</translation>
    </message>
    <message>
        <source>Lets you specify the 3D model(s) you want to print.</source>
        <translation>Liste der 3D-Modelle, die gedruckt werden sollen.</translation>
    </message>
    <message>
        <source>Lets you specify the 3D model you want to print.</source>
        <translation>Lädt das 3D-Modell, das gedruckt werden soll.</translation>
    </message>
    <message>
        <source>Lets you remove the specified 3D model.</source>
        <translation>Entfernt das ausgewählte 3D-Modell.</translation>
    </message>
    <message>
        <source>Lets you apply all the changes of the manipulated model.</source>
        <translation>Übernimmt alle Änderungen am bearbeiteten Modell.</translation>
    </message>
    <message>
        <source>Lets you display the cost of the selected object(s) given the specified resin.</source>
        <translation>Zeigt die Kosten der ausgewählten Objekte für das gewählte Harz an.</translation>
    </message>
    <message>
        <source>Lets you specify the print resolution (in microns!).</source>
        <translation>Legt die Druckauflösung fest (in Mikrometern!).</translation>
    </message>
    <message>
        <source>Lets you print an hollow object.</source>
        <translation>Druckt das Objekt hohl.</translation>
    </message>
    <message>
        <source>Once you&apos;ve loaded the model, this control starts the slicing process.</source>
        <translation>Startet das Slicen, sobald das Modell geladen ist.</translation>
    </message>
    <message>
        <source>Proceed to the next phase: calibration.</source>
        <translation>Weiter zum nächsten Schritt: Kalibrierung.</translation>
    </message>
</context>
<context>
    <name>PrintRun</name>
    <message>
        <source>Please ensure that both the printer and the projector are connected.</source>
        <translation>Stellen Sie sicher, dass Drucker und Projektor verbunden sind.</translation>
    </message>
    <message>
        <source>The job has no layers.</source>
        <translation>Der Druckauftrag enthält keine Schichten.</translation>
    </message>
    <message>
        <source>The printer has no layer step of %1 µm: it moves the plate by 25, 50, 75 or 100 µm.</source>
        <translation>Der Drucker kann die Druckplatte nicht um %1 µm pro Schicht bewegen, sondern nur um 25, 50, 75 oder 100 µm.</translation>
    </message>
    <message>
        <source>The layer document %1 is missing.</source>
        <translation>Das Schichtdokument %1 fehlt.</translation>
    </message>
    <message>
        <source>The layer document %1 cannot be read.</source>
        <translation>Das Schichtdokument %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The layer document %1 has no layer &quot;%2&quot;.</source>
        <translation>Das Schichtdokument %1 enthält keine Schicht „%2“.</translation>
    </message>
    <message>
        <source>The printer went away during the print, at frame %1 of %2.</source>
        <translation>Die Verbindung zum Drucker ist während des Drucks bei Bild %1 von %2 abgebrochen.</translation>
    </message>
</context>
<context>
    <name>PrintingPage</name>
    <message>
        <source>Print Job</source>
        <translation>Druckauftrag</translation>
    </message>
    <message>
        <source>Layer</source>
        <translation>Schicht</translation>
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
        <translation>Schichtdicke</translation>
    </message>
    <message>
        <source>Object name</source>
        <translation>Objektname</translation>
    </message>
    <message>
        <source>Object height</source>
        <translation>Objekthöhe</translation>
    </message>
    <message>
        <source>Print Settings</source>
        <translation>Druckeinstellungen</translation>
    </message>
    <message>
        <source>Layer curing time (ms)</source>
        <translation>Belichtungszeit je Schicht (ms)</translation>
    </message>
    <message>
        <source>Advanced Settings</source>
        <translation>Erweiterte Einstellungen</translation>
    </message>
    <message>
        <source>Add Base</source>
        <translation>Sockel hinzufügen</translation>
    </message>
    <message>
        <source>Up/Down Movement</source>
        <translation>Auf-/Abbewegung</translation>
    </message>
    <message>
        <source>Pre movement (ms)</source>
        <translation>Wartezeit vor Bewegung (ms)</translation>
    </message>
    <message>
        <source>Post movement (ms)</source>
        <translation>Wartezeit nach Bewegung (ms)</translation>
    </message>
    <message>
        <source>Add Row</source>
        <translation>Zeile hinzufügen</translation>
    </message>
    <message>
        <source>Reset table</source>
        <translation>Tabelle leeren</translation>
    </message>
    <message>
        <source>First 3 at 3x curing time</source>
        <translation>Erste 3 dreifach belichten</translation>
    </message>
    <message>
        <source>Test Layers</source>
        <translation>Schichten testen</translation>
    </message>
    <message>
        <source>Printing</source>
        <translation>Druckvorgang</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>frame 0 of 0</source>
        <translation>Bild 0 von 0</translation>
    </message>
    <message>
        <source>Remaining time</source>
        <translation>Restzeit</translation>
    </message>
    <message>
        <source>00:00:00</source>
        <translation>00:00:00</translation>
    </message>
    <message>
        <source>Estimated time</source>
        <translation>Geschätzte Dauer</translation>
    </message>
    <message>
        <source>Start Printing</source>
        <translation>Druck starten</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausieren</translation>
    </message>
    <message>
        <source>Extract</source>
        <translation>Herausfahren</translation>
    </message>
    <message>
        <source>Back to Calibration</source>
        <translation>Zurück zur Kalibrierung</translation>
    </message>
    <message>
        <source>Loading .vek file</source>
        <translation>.vek-Datei laden</translation>
    </message>
    <message>
        <source>Vek files (*.vek)</source>
        <translation>Vek-Dateien (*.vek)</translation>
    </message>
    <message>
        <source>A print is running: %1 can be loaded when it has ended.</source>
        <translation>Es läuft ein Druck: %1 kann erst nach Druckende geladen werden.</translation>
    </message>
    <message>
        <source>File vek invalido: non si puo&apos; procedere con la stampa. Ricaricalo.</source>
        <translation>Ungültige .vek-Datei: Drucken ist nicht möglich. Bitte laden Sie die Datei erneut.</translation>
    </message>
    <message>
        <source>Error while acquiring .vek file!</source>
        <translation>Fehler beim Einlesen der .vek-Datei!</translation>
    </message>
    <message>
        <source>Troubles while reading .vek file: default values were loaded.
 Would you like to proceed printing?</source>
        <translation>Probleme beim Lesen der .vek-Datei: Es wurden Standardwerte geladen.
 Möchten Sie mit dem Drucken fortfahren?</translation>
    </message>
    <message>
        <source>The job is loaded, but its file could not be brought up to date.
%1</source>
        <translation>Der Auftrag ist geladen, aber seine Datei konnte nicht aktualisiert werden.
%1</translation>
    </message>
    <message>
        <source>The value is used, but could not be saved in %1.</source>
        <translation>Der Wert wird verwendet, konnte aber nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>Error in the frames time table! Check che consistency of the table</source>
        <translation>Fehler in der Tabelle der Belichtungszeiten! Prüfen Sie die Tabelle auf Widersprüche.</translation>
    </message>
    <message>
        <source>Print cannot be started!
 Please specify a .vek file to be printed.</source>
        <translation>Der Druck kann nicht gestartet werden!
 Bitte geben Sie eine .vek-Datei zum Drucken an.</translation>
    </message>
    <message>
        <source>Print cannot be started!
 Please ensure that both the printer and the projector are connected.</source>
        <translation>Der Druck kann nicht gestartet werden!
 Stellen Sie sicher, dass Drucker und Projektor verbunden sind.</translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 Please specify a .vek file to be simulated.</source>
        <translation>Die Druckvorschau kann nicht gestartet werden!
 Bitte geben Sie eine .vek-Datei für die Vorschau an.</translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 Please ensure that the projector is connected.</source>
        <translation>Die Druckvorschau kann nicht gestartet werden!
 Stellen Sie sicher, dass der Projektor verbunden ist.</translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 %1</source>
        <translation>Die Druckvorschau kann nicht gestartet werden!
 %1</translation>
    </message>
    <message>
        <source>The preview document %1 cannot be read.</source>
        <translation>Das Vorschaudokument %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The preview document %1 has no layer &quot;%2&quot;.</source>
        <translation>Das Vorschaudokument %1 enthält keine Schicht „%2“.</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Reposition</source>
        <translation>Zurückfahren</translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation>Möchten Sie den Druck wirklich abbrechen?</translation>
    </message>
    <message>
        <source>frame %1 of %2</source>
        <translation>Bild %1 von %2</translation>
    </message>
    <message>
        <source>Print successfully completed!</source>
        <translation>Druck erfolgreich abgeschlossen!</translation>
    </message>
    <message>
        <source>Print has been ABORTED!
%1</source>
        <translation>Der Druck wurde ABGEBROCHEN!
%1</translation>
    </message>
    <message>
        <source>Start Layer (Incl.)</source>
        <translation>Erste Schicht (inkl.)</translation>
    </message>
    <message>
        <source>End Layer (Incl.)</source>
        <translation>Letzte Schicht (inkl.)</translation>
    </message>
    <message>
        <source>Frame Time (ms)</source>
        <translation>Belichtungszeit (ms)</translation>
    </message>
    <message>
        <source>Lets you specify the .vek file you previously created.</source>
        <translation>Wählt die zuvor erstellte .vek-Datei aus.</translation>
    </message>
    <message>
        <source>Gives you a layers&apos; preview of the selected .vek file.</source>
        <translation>Zeigt eine Vorschau der Schichten der ausgewählten .vek-Datei.</translation>
    </message>
    <message>
        <source>Slide this control to watch a preview of the frames that will be printed.</source>
        <translation>Verschieben Sie den Regler, um eine Vorschau der zu druckenden Bilder zu sehen.</translation>
    </message>
    <message>
        <source>Shows a preview of the selected .vek file.</source>
        <translation>Zeigt eine Vorschau der ausgewählten .vek-Datei.</translation>
    </message>
    <message>
        <source>Lets you select the exposure time of the base frame.</source>
        <translation>Legt die Belichtungszeit des Sockelbildes fest.</translation>
    </message>
    <message>
        <source>Lets you select the exposure time of each frame.</source>
        <translation>Legt die Belichtungszeit jedes Bildes fest.</translation>
    </message>
    <message>
        <source>Lets you add a supporting honeycomb base to your objects.</source>
        <translation>Fügt unter den Objekten einen stützenden Wabensockel hinzu.</translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait before the engine movement.</source>
        <translation>Geben Sie an, wie viele Millisekunden vor der Motorbewegung gewartet werden soll.</translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait after the engine movement.</source>
        <translation>Geben Sie an, wie viele Millisekunden nach der Motorbewegung gewartet werden soll.</translation>
    </message>
    <message>
        <source>Lets the printing bed move deeply into the resin between each frame. Improves the quality but slows down the print.</source>
        <translation>Taucht die Druckplatte nach jedem Bild tief ins Harz ein. Verbessert die Qualität, verlangsamt aber den Druck.</translation>
    </message>
    <message>
        <source>Once you&apos;ve loaded the print configuration, this control starts the printing process.</source>
        <translation>Startet den Druck, sobald die Druckkonfiguration geladen ist.</translation>
    </message>
    <message>
        <source>Shows more advanced printing settings.</source>
        <translation>Zeigt erweiterte Druckeinstellungen an.</translation>
    </message>
    <message>
        <source>Lets you watch a harmless preview of the print on the printing bed.</source>
        <translation>Zeigt eine gefahrlose Vorschau des Drucks auf der Druckplatte.</translation>
    </message>
    <message>
        <source>Shows the progress of each frame.</source>
        <translation>Zeigt den Fortschritt des aktuellen Bildes.</translation>
    </message>
    <message>
        <source>Shows the progress of the entire printing process.</source>
        <translation>Zeigt den Fortschritt des gesamten Druckvorgangs.</translation>
    </message>
    <message>
        <source>Lets you pause the printing process. You will be able to resume the print by clicking again.</source>
        <translation>Unterbricht den Druckvorgang. Ein erneuter Klick setzt den Druck fort.</translation>
    </message>
    <message>
        <source>Lets you check the status of the print by emerging the printing bed.</source>
        <translation>Fährt die Druckplatte aus dem Harz, damit Sie den Druck prüfen können.</translation>
    </message>
    <message>
        <source>Lets you interrupt the printing process. Warning: the print will be unrecoverable!</source>
        <translation>Bricht den Druckvorgang ab. Achtung: Der Druck kann nicht fortgesetzt werden!</translation>
    </message>
    <message>
        <source>Proceed to the previous phase: calibration.</source>
        <translation>Zurück zum vorherigen Schritt: Kalibrierung.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The layer document %1 cannot be read: %2</source>
        <translation>Das Schichtdokument %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The preview document %1 cannot be written: %2</source>
        <translation>Das Vorschaudokument %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Print cannot be started!
 %1</source>
        <translation>Der Druck kann nicht gestartet werden!
 %1</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Path Settings</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Stl Archive</source>
        <translation>STL-Archiv</translation>
    </message>
    <message>
        <source>Slicer Archive</source>
        <translation>Schichtarchiv</translation>
    </message>
    <message>
        <source>Print Settings</source>
        <translation>Druckeinstellungen</translation>
    </message>
    <message>
        <source>Pre Movement Waiting Time</source>
        <translation>Wartezeit vor Bewegung</translation>
    </message>
    <message>
        <source>Post Movement Waiting Time</source>
        <translation>Wartezeit nach Bewegung</translation>
    </message>
    <message>
        <source>Resin</source>
        <translation>Harz</translation>
    </message>
    <message>
        <source>Projector</source>
        <translation>Projektor</translation>
    </message>
    <message>
        <source>Enable Sounds</source>
        <translation>Töne abspielen</translation>
    </message>
    <message>
        <source>Enable Tooltips</source>
        <translation>Tooltips anzeigen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The settings could not be saved in %1.</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>Are you sure you want to quit without saving?</source>
        <translation>Möchten Sie wirklich schließen, ohne zu speichern?</translation>
    </message>
    <message>
        <source>Select .stl archive folder</source>
        <translation>Ordner des .stl-Archivs wählen</translation>
    </message>
    <message>
        <source>Select sliced models folder</source>
        <translation>Ordner für Schichtdateien wählen</translation>
    </message>
    <message>
        <source>Select the folder in which your .stl files are located.</source>
        <translation>Wählen Sie den Ordner, in dem sich Ihre .stl-Dateien befinden.</translation>
    </message>
    <message>
        <source>Select the folder in which you want your sliced files to be located.</source>
        <translation>Wählen Sie den Ordner, in dem die Schichtdateien gespeichert werden sollen.</translation>
    </message>
    <message>
        <source>Specify the projector you are currently printing with.</source>
        <translation>Wählen Sie den Projektor, mit dem Sie drucken.</translation>
    </message>
    <message>
        <source>Specify the resin you are currently printing with.</source>
        <translation>Wählen Sie das Harz, mit dem Sie drucken.</translation>
    </message>
    <message>
        <source>Check this box if you want to enable program sounds.</source>
        <translation>Aktivieren Sie dieses Kästchen, um die Programmtöne einzuschalten.</translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait before the engine movement.</source>
        <translation>Geben Sie an, wie viele Millisekunden vor der Motorbewegung gewartet werden soll.</translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait after the engine movement.</source>
        <translation>Geben Sie an, wie viele Millisekunden nach der Motorbewegung gewartet werden soll.</translation>
    </message>
</context>
<context>
    <name>Slicer</name>
    <message>
        <source>Slicing...</source>
        <translation>Slicen...</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abbrechen</translation>
    </message>
</context>
</TS>
