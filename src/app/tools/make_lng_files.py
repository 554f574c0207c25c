#!/usr/bin/env python3
"""Writes the shipped language files of data/LNG: the dictionary M3.diz, the current
language M3.con and the sample label layout Lables.cfg.

Every file is CR LF, Windows-1252. The dictionary is addressed by entry number, so the
order of MAIN_HEAD, ECU_ERRORS, MAIN_TAIL and SECTIONS below is the file's layout: every
language holds the same entries at the same positions, section markers included.
Run from anywhere: python3 src/app/tools/make_lng_files.py
"""

from pathlib import Path

ROOT = Path(__file__).resolve().parents[3]
LNG = ROOT / "data" / "LNG"

LANGUAGES = ["English", "Italiano"]  # index 0 is English

# Main-window section, entries 0 .. 71, as (English, Italian).
MAIN_HEAD = [
    ("LX735 Sequential Gas Injection", "LX735 Iniezione Gas Sequenziale"),  # 0 AppTitle
    ("Load configuration", "Carica configurazione"),  # 1 MnuFileLoadConf
    ("Save configuration", "Salva configurazione"),  # 2 MnuFileSaveConf
    ("&Esc", "&Esci"),  # 3 MnuFileEsc
    ("&View", "&Visualizza"),  # 4 MnuView
    ("Calibration", "Taratura"),  # 5 tab 2
    ("Modeling", "Modellazione"),  # 6 tab 3
    ("Map", "Mappa"),  # 7 tab 5
    ("General", "Generale"),  # 8 tab 0
    ("Configuration", "Configurazione"),  # 9 tab 1
    ("&Project", "&Progetto"),  # 10 MnuPjct
    ("De&vice", "Dis&positivo"),  # 11 MnuDevice
    ("&Language", "&Lingua"),  # 12 MnuLng
    ("Petrol time (ms)", "Tempo benzina (ms)"),  # 13 LblInjTPetrol
    ("Gas time (ms)", "Tempo gas (ms)"),  # 14 LblInjTGas
    ("Injector", "Iniettore"),  # 15 LblInjCmb
    ("Rpm", "Giri/min"),  # 16 LblParRpm
    ("Engine parameters", "Parametri motore"),  # 17 FrmParametri
    ("Reducer temp.", "Temp. riduttore"),  # 18 LblParTmpVap
    ("Gas temp.", "Temp. gas"),  # 19 LblParTmpGas
    ("\u00b0C", "\u00b0C"),  # 20 LblParGradi(0), (1)
    ("Gas pressure", "Pressione gas"),  # 21 LblParPressure
    ("Bar", "Bar"),  # 22 LblParBar
    ("Lambda", "Sonda lambda"),  # 23 LblParLambda (0) " #1", (1) " #2"
    ("V", "V"),  # 24 LblParLambdaMv(0)
    ("Supply (V)", "Alimentazione (V)"),  # 25 LblSupVoltage
    ("On", "Attivo"),  # 26 MsgConfig01
    ("Off", "Disattivo"),  # 27 GridHeader15
    ("The firmware image file is missing: the program will close.",
     "Manca il file del firmware: il programma verr\u00e0 chiuso."),  # 28 MsgLive01
    ("The firmware image file is older than the ECU's firmware: the program will close.",
     "Il file del firmware \u00e8 pi\u00f9 vecchio del firmware della centralina: il programma verr\u00e0 chiuso."),  # 29 MsgLive02
    ("The ECU on this port belongs to another project.",
     "La centralina su questa porta appartiene a un altro progetto."),  # 30 MsgLive03
    ("Press Esc again to leave the update: the program will close.",
     "Premere di nuovo Esc per uscire dall'aggiornamento: il programma verr\u00e0 chiuso."),  # 31 MsgUpdate01
    ("Ecu release: ", "Versione centralina: "),  # 32 MsgUpdate02
    ("File release: ", "Versione file: "),  # 33 MsgUpdate03
    ("Turn the ignition key off, keep the engine stopped and press Next.",
     "Spegnere il quadro, lasciare il motore fermo e premere Avanti."),  # 34 MsgUpdate04
    ("Ready: press Next to write the new firmware.",
     "Pronto: premere Avanti per scrivere il nuovo firmware."),  # 35 MsgUpdate05
    ("Firmware update completed.", "Aggiornamento del firmware completato."),  # 36 MsgUpdate06
    ("Reset the correction table to the default set?",
     "Riportare la tabella di correzione ai valori predefiniti?"),  # 37 MsgMod01
    ("Communication error: the ECU does not answer.",
     "Errore di comunicazione: la centralina non risponde."),  # 38 MsgComError
    ("Load a parameter file and send it to the ECU?",
     "Caricare un file di parametri e inviarlo alla centralina?"),  # 39 MsgMod02
    ("Mode 4 needs the engine running on gas.",
     "Il modo 4 richiede il motore in funzione a gas."),  # 40 MsgConfig02
    ("The engine is running or the ignition key is on. Continue?",
     "Il motore \u00e8 in moto o il quadro \u00e8 acceso. Continuare?"),  # 41 MsgConfirm
    ("Put all points back on the reference line?",
     "Riportare tutti i punti sulla linea di riferimento?"),  # 42 MsgMod03
    ("Start", "Avvio"),  # 43 CmdCalStart
    ("Press Start to begin the calibration.", "Premere Avvio per iniziare la taratura."),  # 44 MsgTara01
    ("Step ", "Passo "),  # 45 MsgTara02
    ("Switching the ECU to slave mode", "Centralina in modo slave"),  # 46 MsgTara03
    ("Reducer temperature reached", "Temperatura del riduttore raggiunta"),  # 47 MsgTara04
    ("Waiting for the reducer temperature", "Attesa della temperatura del riduttore"),  # 48 MsgTara05
    ("Keep the engine at idle", "Tenere il motore al minimo"),  # 49 MsgTara06
    ("Please wait... ", "Attendere... "),  # 50 MsgTara07 (a countdown may follow)
    ("Sampling the reference", "Campionamento del riferimento"),  # 51 MsgTara08
    ("Raise and hold the engine speed", "Portare e tenere il motore su di giri"),  # 52 MsgTara09
    ("Correction cycle", "Ciclo di correzione"),  # 53 MsgTara10
    ("Apply a load to the engine", "Applicare un carico al motore"),  # 54 MsgTara11
    ("Start = continue, Cancel = abort", "Avvio = continua, Annulla = interrompe"),  # 55 MsgTara12
    ("Hold the load", "Mantenere il carico"),  # 56 MsgTara13
    ("Release the load", "Rilasciare il carico"),  # 57 MsgTara14
    ("Calibration aborted", "Taratura interrotta"),  # 58 MsgTara15
    ("Calibration successful", "Taratura riuscita"),  # 59 MsgTara16
    ("Press Start to store the result", "Premere Avvio per memorizzare il risultato"),  # 60 MsgTara17
    ("The ignition key is off", "Il quadro \u00e8 spento"),  # 61 MsgTara18
    ("The engine is stopped", "Il motore \u00e8 fermo"),  # 62 MsgTara19
    ("Calibration on hold", "Taratura in sospeso"),  # 63 MsgTara20 (paused, or failed)
    ("-", "-"),  # 64 not used
    ("Calibration failed: ", "Taratura fallita: "),  # 65 MsgTara21
    ("offset too high", "offset troppo alto"),  # 66 MsgTara22
    ("offset too low", "offset troppo basso"),  # 67 MsgTara23
    ("slope too high", "pendenza troppo alta"),  # 68 MsgTara24
    ("slope too low", "pendenza troppo bassa"),  # 69 MsgTara25
    ("-", "-"),  # 70 not used
    ("ECU errors", "Errori centralina"),  # 71 not read (heads the error texts)
]

# ECU error texts, entries 72 .. 103 (codes 0 .. 31): "name ? state0|state1|...".
_STATES_EN = " No error|Short circuit|Open circuit|Out of range"
_STATES_IT = " Nessun errore|Corto circuito|Circuito aperto|Fuori scala"
_ERROR_NAMES = [
    ("Injector 1", "Iniettore 1"), ("Injector 2", "Iniettore 2"),
    ("Injector 3", "Iniettore 3"), ("Injector 4", "Iniettore 4"),
    ("Injector 5", "Iniettore 5"), ("Injector 6", "Iniettore 6"),
    ("Injector 7", "Iniettore 7"), ("Injector 8", "Iniettore 8"),
    ("End of gas", "Fine gas"),  # 8
    ("Vacuum sensor", "Sensore depressione"),  # 9
    ("Gas pressure sensor", "Sensore pressione gas"),  # 10
    ("Gas temperature sensor", "Sensore temperatura gas"),  # 11
    ("Lambda probe", "Sonda lambda"),  # 12
    ("Reducer temperature sensor", "Sensore temperatura riduttore"),
    ("Gas solenoid valve 1", "Elettrovalvola gas 1"),
    ("Gas solenoid valve 2", "Elettrovalvola gas 2"),
    ("Level sensor", "Sensore di livello"),
    ("Supply voltage", "Tensione di alimentazione"),
    ("Rpm signal", "Segnale giri"),
    ("Petrol injector 1 signal", "Segnale iniettore benzina 1"),
    ("Petrol injector 2 signal", "Segnale iniettore benzina 2"),
    ("Petrol injector 3 signal", "Segnale iniettore benzina 3"),
    ("Petrol injector 4 signal", "Segnale iniettore benzina 4"),
    ("Petrol injector 5 signal", "Segnale iniettore benzina 5"),
    ("Petrol injector 6 signal", "Segnale iniettore benzina 6"),
    ("Petrol injector 7 signal", "Segnale iniettore benzina 7"),
    ("Petrol injector 8 signal", "Segnale iniettore benzina 8"),
    ("Change-over switch", "Commutatore"),
    ("Lambda emulation", "Emulazione lambda"),
    ("Parameter memory", "Memoria parametri"),
    ("Program memory", "Memoria programma"),
    ("Watchdog reset", "Reset watchdog"),
]
ECU_ERRORS = [(f"{en} ?{_STATES_EN}", f"{it} ?{_STATES_IT}") for en, it in _ERROR_NAMES]

END_ERROR_ECU = "[END_ERROR_ECU]"

# Entries E+1 .. E+92, after the end marker.
MAIN_TAIL = [
    ("ERRORS", "ERRORI"),  # E+1 MsgLive04
    ("Gas solenoid valve 1", "Elettrovalvola gas 1"),  # E+2 CkbeV_01 tool tip
    ("Gas solenoid valve 2", "Elettrovalvola gas 2"),  # E+3 CkbeV_02
    ("Ignition key", "Chiave quadro"),  # E+4 CkbKey
    ("Supply", "Alimentazione"),  # E+5 CkbStatoAlim
    ("ECU state", "Stato centralina"),  # E+6 CkbStatoEcu
    ("Change-over", "Commutazione"),  # E+7 LblFrmSwitch
    ("Change-over rpm", "Giri di commutazione"),  # E+8 LblSwtchRpm
    ("Rpm shown", "Giri visualizzati"),  # E+9 LblShoRpm
    ("Change-over temperature", "Temperatura di commutazione"),  # E+10 LblSwtchTemp
    ("Change-over delay", "Ritardo di commutazione"),  # E+11 LblSwtchDelay
    ("Forced change-over", "Commutazione forzata"),  # E+12 LblSwtchForce
    ("Change-over sequence", "Sequenza di commutazione"),  # E+13 LblSwtchSeq
    ("Type", "Tipo"),  # E+14 LblFrmTyp
    ("Fuel type", "Tipo di carburante"),  # E+15 LblTypFuel
    ("LPG", "GPL"),  # E+16 OptTypFuel(0)
    ("CNG", "Metano"),  # E+17 OptTypFuel(1)
    ("Cylinders", "Cilindri"),  # E+18 LblSwtchCilindri
    ("Coils", "Bobine"),  # E+19 LblSwtchBobine
    ("Sensors", "Sensori"),  # E+20 LblFrmSensor
    ("Type", "Tipo"),  # E+21 LblTypGLS, LblTypInj
    ("End of gas", "Fine gas"),  # E+22 LblEmptyGas
    ("End-of-gas pressure", "Pressione di fine gas"),  # E+23 LblSwtchPres
    ("Delay (s)", "Ritardo (s)"),  # E+24 LblSwtchPressDelay
    ("Level sensor", "Sensore di livello"),  # E+25 CmdTpyGLS
    ("Injectors", "Iniettori"),  # E+26 CmdTpyInj
    ("Options", "Opzioni"),  # E+27 LblFrmOption
    ("Lambda probe", "Sonda lambda"),  # E+28 LblSwtchLambda, LblSwtchLambdaBis
    ("Reset all", "Azzera tutto"),  # E+29 CmdReserVar
    ("Expert", "Esperto"),  # E+30 CmdExpert(0)
    ("T Gas (ms)", "T Gas (ms)"),  # E+31 TxtGasMod
    ("T Petrol (ms)", "T Benzina (ms)"),  # E+32 TxtPetrolMod, TxtMapPetrol
    ("Load the default parameter set for this fuel?",
     "Caricare i parametri predefiniti per questo carburante?"),  # E+33 MsgConfig03
    ("Point", "Punto"),  # E+34 LblPlace
    ("Gain", "Guad."),  # E+35 LblMul
    ("Reference line", "Linea di riferimento"),  # E+36 FrmModLine
    ("Slope", "Pendenza"),  # E+37 LblAlfa
    ("Offset (ms)", "Offset (ms)"),  # E+38 LblOffset
    ("Vac. (bar)", "Depr. (bar)"),  # E+39 TxtMapPressure, LblCalPres
    ("Map acquisition", "Acquisizione mappa"),  # E+40 FrmMapTuning
    ("Read map", "Leggi mappa"),  # E+41 CmdMapRead
    ("Acquire vacuum", "Acquisisci depressione"),  # E+42 ChkAbilAcqVacum
    ("Compute", "Calcola"),  # E+43 CmdMapCompute
    ("Clear gas", "Cancella gas"),  # E+44 CmdMapClrGas
    ("Clear petrol", "Cancella benzina"),  # E+45 CmdMapClrPet
    ("Show model", "Mostra modello"),  # E+46 CmdShpMapMod
    ("Petrol", "Benzina"),  # E+47 LblMapPetrol
    ("Gas", "Gas"),  # E+48 LblMapGas
    ("Pres. (bar)", "Pres. (bar)"),  # E+49 LblCalVacuum (stands over the pressure box)
    ("T Petrol", "T Benzina"),  # E+50 LblCalInjTp
    ("T Gas", "T Gas"),  # E+51 LblCalInjTg
    ("Red. temp.", "Temp. rid."),  # E+52 LblCalTempVap
    ("Gas temp.", "Temp. gas"),  # E+53 LblCalTempGas
    ("Lambda", "Lambda"),  # E+54 LblCalLambda " #1", LblCalLambda2 " #2"
    ("Correction table outside its limits", "Tabella di correzione fuori dai limiti"),  # E+55 MsgTara26
    ("Load the engine further", "Caricare ancora il motore"),  # E+56 MsgTara27
    ("below the lower limit", "sotto il limite inferiore"),  # E+57 MsgTara28
    ("above the upper limit", "sopra il limite superiore"),  # E+58 MsgTara29
    ("The ECU is not in slave mode", "La centralina non \u00e8 in modo slave"),  # E+59 MsgTara30
    ("On", "Attivo"),  # E+60 MsgConfig04
    ("Compensation on", "Compensaz. attiva"),  # E+61 LblCompAttiva
    ("Emulation active", "Emulazione attiva"),  # E+62 LblEmulAttiva
    ("Lambda", "Lambda"),  # E+63 tab 4
    ("mbar \\ rpm", "mbar \\ giri"),  # E+64 GrdTitolo (0, 0)
    ("Rpm", "Giri"),  # E+65 LblFrmRPM
    ("Service", "Assistenza"),  # E+66 CmdService tool tip
    ("Rpm", "Giri"),  # E+67 MsgConfig05
    ("Temperature", "Temperatura"),  # E+68 MsgConfig06
    ("Narrow band", "Banda stretta"),  # E+69 MsgConfig07
    ("Wide band", "Banda larga"),  # E+70 MsgConfig08
    ("Offset", "Offset"),  # E+71 MsgConfig09
    ("Lambda emulation", "Emulazione lambda"),  # E+72 LblAbilEmula
    ("Probe 1", "Sonda 1"),  # E+73 LblSonda1, LblSonda1Bis
    ("Probe 2", "Sonda 2"),  # E+74 LblSonda2, LblSonda2Bis
    ("Activation delay (s)", "Ritardo attivaz. (s)"),  # E+75 LblRitardo
    ("Pre", "Ante"),  # E+76 LblAnte
    ("Post", "Post"),  # E+77 LblPost
    ("High (V)", "Alto (V)"),  # E+78 LblEmulLevAlto
    ("Low (V)", "Basso (V)"),  # E+79 LblEmulLevBasso
    ("Lambda out 1", "Uscita lambda 1"),  # E+80 LblLambdaOut1
    ("Lambda out 2", "Uscita lambda 2"),  # E+81 LblLambdaOut2
    ("Thresholds", "Soglie"),  # E+82 LblTabSoglie
    ("Select cells: + / - step them (Shift: larger steps), Enter sets a value",
     "Selezionare le celle: + / - le variano (Maiusc: passi ampi), Invio imposta un valore"),  # E+83 LblHelpTabDelay
    ("Abs. pressure", "Press. assoluta"),  # E+84 LblAbsPres
    ("Type a number.", "Inserire un numero."),  # E+85 MsgEmula01
    ("The value must not exceed 255.", "Il valore non deve superare 255."),  # E+86 MsgEmula02
    ("The value must not be below -255.", "Il valore non deve essere minore di -255."),  # E+87 MsgEmula03
    ("The percentage must not exceed 100.", "La percentuale non deve superare 100."),  # E+88 MsgEmula04
    ("The percentage must not be below -100.", "La percentuale non deve essere minore di -100."),  # E+89 MsgEmula05
    ("The value must not exceed 127.", "Il valore non deve superare 127."),  # E+90 MsgEmula06
    ("The value must not be below -127.", "Il valore non deve essere minore di -127."),  # E+91 MsgEmula07
    ("Filter", "Filtro"),  # E+92 LblFiltro
]

# Dialog sections: each marker followed by its entries, in the order the windows read them.
SECTIONS = [
    ("[FrmInit]", [
        ("Reading the ECU...", "Lettura della centralina..."),
        ("Please wait...", "Attendere prego..."),
    ]),
    ("[FrmErrEcu]", [
        ("Error", "Errore"),
        ("State 1", "Stato 1"),
        ("State 2", "Stato 2"),
        ("Clear errors", "Cancella errori"),
        ("ECU errors", "Errori centralina"),
    ]),
    ("[FrmService]", [
        ("Running time", "Tempo di funzionamento"),
        ("Erase clears both counters.", "Cancella azzera entrambi i contatori."),
        ("Hours on gas:", "Ore a gas:"),
        ("Hours on petrol:", "Ore a benzina:"),
    ]),
    ("[FrmLevel]", [
        ("Level", "Livello"),
        ("Level sensor thresholds", "Soglie del sensore di livello"),
        ("Default", "Predefinito"),
    ]),
    ("[FrmInj]", [
        ("Injector", "Iniettore"),
        ("Gas (ms)", "Gas (ms)"),
        ("OffSet", "OffSet"),
        ("Mode", "Modo"),
        ("Normal", "Normale"),  # mode 3
        ("Off", "Spento"),  # mode 0
        ("Petrol on gas", "Benzina in gas"),  # mode 4
        ("Injectors", "Iniettori"),
        ("Sensitivity", "Sensibilit\u00e0"),
    ]),
    ("[FrmSetExpert]", [
        ("Minimum rpm", "Giri minimi"),  # ChkMinRpmAbil
        ("Minimum power low", "Pot. minima bassa"),  # LblMinPowerSol
        ("Minimum power high", "Pot. minima alta"),  # LblMinPowerSoh
        ("Maximum power", "Potenza massima"),  # LblMaxpower
        ("Pressure sensor", "Sensore di pressione"),  # LblPressSens
        ("Temperature sensor", "Sensore temp."),  # LblTempSens
        ("Deceleration hysteresis", "Isteresi di decelerazione"),  # LblRpmHyst
        ("Self-adaptation", "Autoadattamento"),  # ChkAbilAdat
        ("Diagnostics", "Diagnostica"),  # ChkAbilDiag
        ("Return to petrol", "Ritorno a benzina"),  # ChkReturnBenz
        ("Injection time", "Tempo iniezione"),  # LblMaxPowerTinj
    ]),
    ("[New_Functions]", [
        ("Rpm from wire", "Giri da filo"),  # CHK_FiloRPM
        ("Rpm x1 / x2", "Giri x1 / x2"),  # CHK_RPMx1x2
        ("The engine runs on gas: switch to petrol first.",
         "Il motore \u00e8 a gas: passare prima a benzina."),  # MsgExpertOnGas
        ("Leaning on acceleration", "Smagrimento in accelerazione"),  # FrmSmagAcc
        ("Edit scale", "Modifica scala"),  # CmdModScala
        ("Min/Max TInj", "Min/Max TInj"),  # CmdAutoMinMaxSmagTInj
        ("Min/Max %", "Min/Max %"),  # CmdAutoMinMaxSmagPerc
    ]),
    ("[FrmCompensaTbl]", [
        ("Gas temperature", "Temperatura gas"),  # FrmGrdTemp
        ("Reducer temperature", "Temperatura riduttore"),  # FrmGrdTempRid
        ("Reducer pressure", "Pressione riduttore"),  # FrmGrdPres
        ("Select a cell and press + or - to change it; with Shift it changes in larger steps.",
         "Selezionare una cella e premere + o - per cambiarla; con Maiusc cambia a passi "
         "pi\u00f9 ampi."),  # LblHelp
        ("Enable", "Abilita"),  # ChkGrdTemp and the other three
    ]),
    ("[Frm_EnterValue]", [
        ("[+/-] Linear", "[+/-] Lineare"),
        ("[%] Percent", "[%] Percentuale"),
        ("[=] Absolute", "[=] Assoluto"),
    ]),
    # The message after a parameter file that did not reach the ECU whole.
    ("[ParamFileLoad]", [
        ("The parameter file was not loaded completely:",
         "Il file di parametri non \u00e8 stato caricato completamente:"),
        ("Not written to the ECU:", "Non scritti nella centralina:"),
        ("Nothing was saved in the ECU's flash. Send the whole file again?",
         "Nulla \u00e8 stato salvato nella flash della centralina. Inviare di nuovo tutto il file?"),
        ("Parameters, zone 2", "Parametri, zona 2"),
        ("Parameters, zone 3", "Parametri, zona 3"),
        ("Gas temperature compensation", "Compensazione temperatura gas"),
        ("Reducer temperature compensation", "Compensazione temperatura riduttore"),
        ("Reducer pressure compensation", "Compensazione pressione riduttore"),
        ("Leaning on acceleration", "Smagrimento in accelerazione"),
        ("Lambda emulation", "Emulazione lambda"),
        ("Correction table", "Tabella di correzione"),
    ]),
    # Closing the program while the ECU is still owed writes or a calibration's undoing.
    ("[CloseProgram]", [
        ("Writing the last changes to the ECU before closing...",
         "Scrittura delle ultime modifiche nella centralina prima della chiusura..."),
        ("Some changes are not yet written to the ECU: the link to the ECU is down or the "
         "write keeps failing. Close the program without writing them?",
         "Alcune modifiche non sono ancora scritte nella centralina: il collegamento con la "
         "centralina \u00e8 interrotto o la scrittura continua a fallire. Chiudere il "
         "programma senza scriverle?"),
        ("An automatic calibration is under way. Stop it, put the ECU's settings back as "
         "they were and close the program?",
         "\u00c8 in corso una calibrazione automatica. Interromperla, rimettere le "
         "impostazioni della centralina come erano e chiudere il programma?"),
        ("The link to the ECU was lost while the calibration was being undone: the ECU may "
         "still be in slave mode with the calibration's table. Connect again and run the "
         "calibration or send a parameter file.",
         "Il collegamento con la centralina si \u00e8 interrotto mentre si annullava la "
         "calibrazione: la centralina potrebbe essere ancora in modo slave con la tabella "
         "della calibrazione. Ricollegarsi e ripetere la calibrazione o inviare un file "
         "parametri."),
    ]),
    # A serial port that cannot be opened, in the status bar after "COM1 (/dev/ttyUSB0): ";
    # short enough for its wide cell at the window's start size.
    ("[PortOpen]", [
        ("BIN/ComPorts.ini gives this port no device path",
         "BIN/ComPorts.ini non d\u00e0 a questa porta un dispositivo"),
        ("permission denied; add user to group dialout, log in again",
         "accesso negato; aggiungere l'utente a dialout e rientrare"),
        ("another program holds the port; close it",
         "un altro programma usa la porta; chiuderlo"),
        ("no such device; plug in the cable or pick another port",
         "dispositivo assente; collegare il cavo o cambiare porta"),
        ("cannot be opened:", "non si pu\u00f2 aprire:"),
    ]),
    # What the installer is told about the edits.
    ("[EditModel]", [
        ("The ECU's settings have not been read yet: there is nothing to save.",
         "Le impostazioni della centralina non sono ancora state lette: non c'\u00e8 nulla "
         "da salvare."),
        ("The ECU refuses the new values of:", "La centralina rifiuta i nuovi valori di:"),
        ("Your changes are kept and will be sent again.",
         "Le modifiche sono conservate e saranno inviate di nuovo."),
        ("The file %1 was loaded off-line only: it has not been sent to the ECU.",
         "Il file %1 \u00e8 stato caricato solo fuori linea: non \u00e8 stato inviato alla "
         "centralina."),
    ]),
    # The calibration's own texts.
    ("[CalibrationRun]", [
        ("The link to the ECU was lost", "Il collegamento con la centralina si \u00e8 interrotto"),
        ("The result is kept: Start and Cancel act once the ECU answers again.",
         "Il risultato \u00e8 conservato: i pulsanti agiscono appena la centralina risponde "
         "di nuovo."),
    ]),
    # An update that erased the ECU and has not written the installation back.
    ("[FirmwareUpdate]", [
        ("The installation's parameters are in %1. To send them to the ECU: File > Load, "
         "choose that file.",
         "I parametri dell'installazione sono in %1. Per inviarli alla centralina: File > "
         "Carica, scegliere quel file."),
        ("A firmware update did not write the installation's parameters back to the ECU.",
         "Un aggiornamento del firmware non ha riscritto nella centralina i parametri "
         "dell'installazione."),
        ("The test record could not be restored: %1 does not hold it.",
         "Il record di collaudo non \u00e8 stato ripristinato: %1 non lo contiene."),
        ("The ECU's firmware is erased. Recorded before the erase: %1. Image: %2. Program the "
         "ECU with this image?",
         "Il firmware della centralina \u00e8 cancellato. Registrato prima della "
         "cancellazione: %1. Immagine: %2. Programmare la centralina con questa immagine?"),
        ("unknown", "sconosciuto"),
        ("The parameters of an update that did not finish stay in %1; this update's read-back "
         "is saved in %2.",
         "I parametri di un aggiornamento non concluso restano in %1; la lettura di questo "
         "aggiornamento \u00e8 salvata in %2."),
    ]),
    # F1 and ? > Help when the guide cannot be shown.
    ("[Help]", [
        ("The guide %1 cannot be found. Install the program again to restore it; it opens "
         "with a PDF viewer.",
         "La guida %1 non si trova. Installare di nuovo il programma per ripristinarla; si "
         "apre con un visualizzatore PDF."),
        ("The guide %1 could not be opened. Install a PDF viewer, or open the file with the "
         "one you have.",
         "Non \u00e8 stato possibile aprire la guida %1. Installare un visualizzatore PDF, "
         "oppure aprire il file con quello che si ha."),
    ]),
    # Start-up files found damaged, and what stands in for each.
    ("[StartUpFiles]", [
        ("Damaged start-up files were found; the program goes on without them:",
         "Sono stati trovati file di avvio danneggiati; il programma prosegue senza di essi:"),
        ("%1: built-in values are used for what it does not give.",
         "%1: per quanto non fornisce si usano i valori predefiniti del programma."),
        ("%1: the texts are shown in English.",
         "%1: i testi sono mostrati in inglese."),
        ("%1: the chosen language cannot be read; %2 is used and the file is left as it is.",
         "%1: la lingua scelta non \u00e8 leggibile; si usa %2 e il file \u00e8 lasciato "
         "com'\u00e8."),
        ("%1: the default port settings are used for what it does not give.",
         "%1: per quanto non fornisce si usano le impostazioni predefinite della porta."),
    ]),
    # What a value or a run came to: a stored calibration, a value the Lambda cells limit.
    ("[CalibrationTexts]", [
        ("The calibration's result is stored in the ECU.",
         "Il risultato della taratura \u00e8 memorizzato nella centralina."),
        ("A cell holds %1 V to %2 V: the cells take %3 V.",
         "Una cella accetta da %1 V a %2 V: le celle assumono %3 V."),
    ]),
    # Captions the main entries leave out, then messages of the program's own; the words
    # match the ones the instructions above use ("premere Avanti" over "Avanti").
    ("[ProgramTexts]", [
        ("Next", "Avanti"),
        ("Esc", "Esci"),
        ("Erase", "Cancella"),
        ("Cancel", "Annulla"),
        ("Open", "Apri"),
        ("Save", "Salva"),
        ("Reset", "Azzera"),
        ("Compute", "Calcola"),
        ("Compensation", "Compensazione"),
        ("Up", "Su"),  # the viewer's controls
        ("Down", "Gi\u00f9"),
        ("Run", "Avvia"),
        ("Stop", "Ferma"),
        ("Reload", "Ricarica"),
        ("Export", "Esporta"),
        ("Setting", "Impostazioni"),
        (" Cilinder && Coil ", " Cilindri && bobine "),
        ("CYLINDER", "CILINDRI"),
        ("COIL", "BOBINE"),
        ("T Inj Gas", "T Inj Gas"),  # the viewer's channels 0 .. 7
        ("T Inj Benz", "T Inj Benz"),
        ("Vacuum", "Depressione"),
        ("Press", "Pressione"),
        ("Lambda", "Lambda"),
        ("Rpm", "Giri"),
        ("Temp Inj", "Temp Inj"),
        ("Temp Gas", "Temp Gas"),
        ("%1: %2. The map shown is kept.", "%1: %2. La mappa mostrata resta."),
        ("the file is damaged: line %1 %2", "il file \u00e8 danneggiato: riga %1 %2"),
        ("holds no number", "non contiene un numero"),
        ("holds %1, outside 0 to %2 %3", "contiene %1, fuori da 0 a %2 %3"),
        ("the file cannot be read: %1", "il file non si pu\u00f2 leggere: %1"),
        ("The map could not be saved to %1: %2",
         "Non \u00e8 stato possibile salvare la mappa in %1: %2"),
        ("Blocks not written: %1", "Blocchi non scritti: %1"),
        ("The link to the ECU is down. The update goes on once it is back; Esc leaves it and "
         "closes the program.",
         "Il collegamento con la centralina \u00e8 interrotto. L'aggiornamento riprende "
         "appena torna; Esci lo abbandona e chiude il programma."),
        ("The log %1 could not be written: %2. Nothing more is added to it.",
         "Non \u00e8 stato possibile scrivere il registro %1: %2. Non vi si aggiunge altro."),
        ("The parameter file %1 could not be written: %2.",
         "Non \u00e8 stato possibile scrivere il file di parametri %1: %2."),
        ("The parameter file %1 was not loaded: %2. Nothing was changed.",
         "Il file di parametri %1 non \u00e8 stato caricato: %2. Nulla \u00e8 cambiato."),
        ("The language choice could not be saved to %1: %2.",
         "Non \u00e8 stato possibile salvare la scelta della lingua in %1: %2."),
        ("The port choice could not be saved to %1: %2. It holds until the program closes.",
         "Non \u00e8 stato possibile salvare la scelta della porta in %1: %2. Vale fino "
         "alla chiusura del programma."),
        ("The link log cannot be written: %1: %2",
         "Il registro del collegamento non si pu\u00f2 scrivere: %1: %2"),
        ("The operating-point log cannot be started: %1: %2",
         "Il registro dei punti di funzionamento non si pu\u00f2 avviare: %1: %2"),
        ("The calibration parameters %1 of LNG/ConfigScale.ini would divide by zero; their "
         "defaults are used.",
         "I parametri di taratura %1 di LNG/ConfigScale.ini porterebbero a una divisione per "
         "zero; si usano i loro valori predefiniti."),
        ("The injection model gives a correction the ECU cannot take (check the points' times "
         "and slope). The correction table was not changed.",
         "Il modello di iniezione d\u00e0 una correzione che la centralina non accetta "
         "(controllare i tempi dei punti e la pendenza). La tabella di correzione non \u00e8 "
         "stata cambiata."),
        ("%1: values out of range, limited to what the viewer shows: %2.",
         "%1: valori fuori scala, limitati a quanto il visualizzatore mostra: %2."),
        ("%1 holds no samples: it is neither a link log nor a formatted log.",
         "%1 non contiene campioni: non \u00e8 n\u00e9 un registro del collegamento n\u00e9 "
         "un registro formattato."),
        ("The firmware image or the flash map BIN/Flash.ini cannot be read.",
         "L'immagine del firmware o la mappa della flash BIN/Flash.ini non si pu\u00f2 "
         "leggere."),
    ]),
]


def dictionary_entries():
    """The entries of every language: a list of tuples (English, Italian)."""
    assert len(MAIN_HEAD) == 72 and len(MAIN_TAIL) == 92
    entries = list(MAIN_HEAD) + ECU_ERRORS + [(END_ERROR_ECU, END_ERROR_ECU)] + list(MAIN_TAIL)
    for marker, texts in SECTIONS:
        entries.append((marker, marker))
        entries.extend(texts)
    for pair in entries:
        for text in pair:
            assert text.strip(), "a blank entry would shift every later number"
    return entries


def write_lines(path, lines):
    path.write_bytes("".join(line + "\r\n" for line in lines).encode("cp1252"))


def main():
    entries = dictionary_entries()
    lines = []
    for index, name in enumerate(LANGUAGES):
        lines += ["###", "#" + name]
        lines += [pair[index] for pair in entries]
    write_lines(LNG / "M3.diz", lines)
    write_lines(LNG / "M3.con", ["0"])
    write_lines(LNG / "Lables.cfg", [
        "[pagina Map-F7]", "1",
        "[Osci Scope]", "False",
        "[Sessione pagina Principale]",
        "[Name]", "LblSupVoltage", "[Index]", " ",
        "[Visible]", "True", "[Alignment]", "0", "[EndName]", " ",
        "[Fine pagina Principale]",
        "[Sessione pagina Barra Stato Macchina]",
        "[Name]", "TxtStatusBar", "[Index]", "2",
        "[ForeColor]", "0", "[EndName]", " ",
        "[Fine pagina Barra Stato Macchina]",
    ])


if __name__ == "__main__":
    main()
