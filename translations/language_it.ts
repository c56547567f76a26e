<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For any problems or feedback, please contact</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CalibrationPage</name>
    <message>
        <source>background-image:  url(:/img/ImgCalibration.png);
border: 0px solid;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide Grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom +</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom -</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset Zoom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scan Printer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect Printer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back to 3D</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Go to Printing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No printer detected!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printer NOT connected! Something gone wrong.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printer automatically detected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printer successfully connected!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No projector detected!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The scale cannot go down to 0 pixels per millimetre.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The scale could not be saved in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Projector pixel: %1 µm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printable area: no projector screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printable area: %1 x %2 px: %3 x %4 mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you connect to the external projector. Generates a black screen to avoid resin&apos;s reaction.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you project the grid which will need to match the one engraved on the printing bed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you hide the grid (optional).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you specify the magnifying factor by which you want to expand or restrict the projected grid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you enlarge the grid by the previously chosen factor.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you restrict the grid by the previously chosen factor.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you reset the grid dimensions to the original ones.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you scan all the USB ports looking for one or more Tarvisomels.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lists the USB ports to which one or more Tarvisomels are connected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Attempts to retrieve a connection with the Tarvisomel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you move the printing bed down by a step. Used to move the bed to the home position.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you move the printing bed up by a step. Used to move the bed to the home position.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proceed to the next phase: printing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proceed to the previous phase: model load.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeepAlive</name>
    <message>
        <source>A print is running</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Kelvarome</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Scene</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Scene</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>English</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be opened: Kelvarome opens .stl models and .vek jobs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current language switched to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New update available!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is a new update. Download it on: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to quit?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remember to SHUTDOWN videoprojector or it will destroy the resin</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModelPage</name>
    <message>
        <source>STL Models</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load STL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove STL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Scene</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bed Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset Rotation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mass</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>gr</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cm³</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Area</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cm²</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Triangles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>€</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slicing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z slicing increment (µm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line thickness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hollow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Go to Calibration </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading .stl file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object models (*.stl)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the model on the plate before loading another.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no file %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The .stl file you provided is corrupted and therefore cannot be printed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File %1 loaded!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bed configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slicing error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slicing of %1 completed! %2 resulting slices.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you load a previously created bed configuration.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you specify the 3D model(s) you want to print.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you specify the 3D model you want to print.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you remove the specified 3D model.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you apply all the changes of the manipulated model.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you display the cost of the selected object(s) given the specified resin.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you specify the print resolution (in microns!).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you print an hollow object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Once you&apos;ve loaded the model, this control starts the slicing process.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proceed to the next phase: calibration.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrintRun</name>
    <message>
        <source>Please ensure that both the printer and the projector are connected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The job has no layers.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The printer has no layer step of %1 µm: it moves the plate by 25, 50, 75 or 100 µm.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The layer document %1 is missing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The layer document %1 cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The layer document %1 has no layer &quot;%2&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The printer went away during the print, at frame %1 of %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrintingPage</name>
    <message>
        <source>Print Job</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Layer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>/</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Layer thickness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object height</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Layer curing time (ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Advanced Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Base</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up/Down Movement</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pre movement (ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Post movement (ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First 3 at 3x curing time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test Layers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frame 0 of 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remaining time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>00:00:00</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Estimated time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Printing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extract</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back to Calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading .vek file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vek files (*.vek)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A print is running: %1 can be loaded when it has ended.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File vek invalido: non si puo&apos; procedere con la stampa. Ricaricalo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error while acquiring .vek file!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Troubles while reading .vek file: default values were loaded.
 Would you like to proceed printing?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error in the frames time table! Check che consistency of the table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print cannot be started!
 Please specify a .vek file to be printed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print cannot be started!
 Please ensure that both the printer and the projector are connected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 Please specify a .vek file to be simulated.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 Please ensure that the projector is connected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Preview cannot be started!
 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The preview document %1 cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The preview document %1 has no layer &quot;%2&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reposition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>frame %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print successfully completed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print has been ABORTED!
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Layer (Incl.)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End Layer (Incl.)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frame Time (ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you specify the .vek file you previously created.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gives you a layers&apos; preview of the selected .vek file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slide this control to watch a preview of the frames that will be printed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows a preview of the selected .vek file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you select the exposure time of the base frame.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you select the exposure time of each frame.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you add a supporting honeycomb base to your objects.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait before the engine movement.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait after the engine movement.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets the printing bed move deeply into the resin between each frame. Improves the quality but slows down the print.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Once you&apos;ve loaded the print configuration, this control starts the printing process.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows more advanced printing settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you watch a harmless preview of the print on the printing bed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the progress of each frame.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the progress of the entire printing process.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you pause the printing process. You will be able to resume the print by clicking again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you check the status of the print by emerging the printing bed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lets you interrupt the printing process. Warning: the print will be unrecoverable!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proceed to the previous phase: calibration.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The layer document %1 cannot be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The preview document %1 cannot be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print cannot be started!
 %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stl Archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slicer Archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pre Movement Waiting Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Post Movement Waiting Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Projector</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enable Sounds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enable Tooltips</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings could not be saved in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to quit without saving?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select .stl archive folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select sliced models folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the folder in which your .stl files are located.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the folder in which you want your sliced files to be located.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify the projector you are currently printing with.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify the resin you are currently printing with.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check this box if you want to enable program sounds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait before the engine movement.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify how many milliseconds to wait after the engine movement.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Slicer</name>
    <message>
        <source>Slicing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abort</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
