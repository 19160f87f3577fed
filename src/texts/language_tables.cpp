#include "texts/language_tables.h"

#include <algorithm>
#include <array>

namespace cronovolta {

namespace {

using P = TextProperty;
constexpr P C = P::Caption;

// The text tables of every window, Catalan and Castilian side by side. Entries that a
// window takes from another window's texts (the derived texts) are not here: the
// localiser computes them after these, so that every text is translated once.
constexpr TextEntry kTexts[] = {
    // Main window: menus.
    {"Portada", "", -1, C, "Cronovolta", "Cronovolta"},
    {"Portada", "MnuArxiu", -1, C, "Arxiu", "Archivo"},
    {"Portada", "MnuNovaProva", -1, C, "Nova prova...", "Nueva prueba..."},
    {"Portada", "MnuNovaSerie", -1, C, "Nova sèrie", "Nueva serie"},
    {"Portada", "MnuNou", 2, C, "&Entrenaments oficials...", "&Entrenamientos oficiales..."},
    {"Portada", "MnuNou", 3, C, "Super &Pole...", "Super &Pole..."},
    {"Portada", "MnuNou", 4, C, "&Cursa...", "&Carrera..."},
    {"Portada", "MnuGestor", -1, C, "Gestor de proves...", "Gestor de pruebas..."},
    {"Portada", "Cnf", -1, C, "Configuracions", "Configuraciones"},
    {"Portada", "MnuCfg", 0, C, "Configuració del programa...", "Configuración del programa..."},
    {"Portada", "MnuCfg", 1, C, "Configuració circuit/general...",
     "Configuración circuito/general..."},
    {"Portada", "MnuCfg", 2, C, "Configuració circuit/prova...",
     "Configuración circuito/prueba..."},
    {"Portada", "MnuSortir", -1, C, "Sortir", "Salir"},
    {"Portada", "MnuProgrames", -1, C, "Modalitats", "Modalidades"},
    {"Portada", "MnuPrg", 0, C, "Entrenaments", "Entrenamientos"},
    {"Portada", "MnuPrg", 1, C, "Entrenaments lliures", "Entrenamientos libres"},
    {"Portada", "MnuPrg", 2, C, "Entrenaments oficials", "Entrenamientos oficiales"},
    {"Portada", "MnuPrg", 3, C, "SuperPole", "SuperPole"},
    {"Portada", "MnuPrg", 4, C, "Cursa", "Carrera"},
    {"Portada", "MnuDades", -1, C, "Dades", "Datos"},
    {"Portada", "MnuIns100", -1, C, "Llista de participants...", "Lista de participantes..."},
    {"Portada", "MnuIns", 0, C, "Llista d'inscrits...", "Lista de inscritos..."},
    {"Portada", "MnuIns", 1, C, "Llista de participants en els entrenaments liures...",
     "Lista de participantes en los entrenamientos libres..."},
    {"Portada", "MnuIns", 2, C, "Participants als entrenaments oficials...",
     "Participantes en los entrenamientos oficiales..."},
    {"Portada", "MnuIns", 3, C, "Participants a la SuperPole...",
     "Participantes en la SuperPole..."},
    {"Portada", "MnuIns", 4, C, "Participants a la cursa...", "Participantes en la carrera..."},
    {"Portada", "MnuPen", 4, C, "Penalitzacions a la cursa...", "Penalizaciones en la carrera..."},
    {"Portada", "MnuResultats", -1, C, "Resultats", "Resultados"},
    {"Portada", "MnuAltresRtats", -1, C, "Classificacions", "Clasificaciones"},
    {"Portada", "MnuCls", 2, C, "&Entrenaments oficials...", "&Entrenamientos oficiales..."},
    {"Portada", "MnuCls", 3, C, "&SuperPole...", "&SuperPole..."},
    {"Portada", "MnuCls", 4, C, "&Serie...", "&Serie..."},
    {"Portada", "MnuVltaaVlta", -1, C, "Llistar voltes", "Listar vueltas"},
    {"Portada", "MnuVaV", 2, C, "&Entrenaments oficials...", "&Entrenamientos oficiales..."},
    {"Portada", "MnuVaV", 3, C, "&SuperPole...", "&SuperPole..."},
    {"Portada", "MnuVaV", 4, C, "&Serie...", "&Serie..."},
    {"Portada", "MnuExportar", -1, C, "Exportar a TXT...", "Exportar a TXT..."},
    {"Portada", "MnuFinestres", -1, C, "Finestres", "Ventanas"},
    {"Portada", "MnuAlternar", -1, C, "Alternar", "Alternar"},
    {"Portada", "ControlManual", -1, C, "Manual", "Manual"},
    {"Portada", "Manual", 1, C, "Pista 1", "Pista 1"},
    {"Portada", "Manual", 2, C, "Pista 2", "Pista 2"},
    {"Portada", "Manual", 3, C, "Pista 3", "Pista 3"},
    {"Portada", "Manual", 4, C, "Pista 4", "Pista 4"},
    {"Portada", "Manual", 5, C, "Pista 5", "Pista 5"},
    {"Portada", "Manual", 6, C, "Pista 6", "Pista 6"},
    {"Portada", "Manual", 7, C, "Pista 7", "Pista 7"},
    {"Portada", "Manual", 8, C, "Pista 8", "Pista 8"},
    {"Portada", "Manual", 9, C, "Pista 9", "Pista 9"},
    {"Portada", "Manual", 10, C, "Pista 10", "Pista 10"},
    {"Portada", "Manual", 11, C, "Pista 11", "Pista 11"},
    {"Portada", "Manual", 12, C, "Pista 12", "Pista 12"},
    {"Portada", "Manual", 13, C, "Pista 13", "Pista 13"},
    {"Portada", "Manual", 14, C, "Pista 14", "Pista 14"},
    {"Portada", "Manual", 15, C, "Pista 15", "Pista 15"},
    {"Portada", "Manual", 16, C, "Pista 16", "Pista 16"},
    {"Portada", "MnuAjuda", -1, C, "Informació", "Información"},
    {"Portada", "MnuAjd", -1, C, "Ajuda", "Ayuda"},
    {"Portada", "MnuInfo", -1, C, "Sobre el programa", "Sobre el programa"},
    // Main window: heat panel, frames and side bar.
    {"Portada", "Menu", 0, C, "(Esc) Tancar", "(Esc) Cerrar"},
    {"Portada", "Menu", 1, C, "(L)listar voltes", "(L)istar vueltas"},
    {"Portada", "Menu", 2, C, "(I)mprimir", "(I)mprimir"},
    {"Portada", "Menu", 3, C, "(C)orregir", "(C)orregir"},
    {"Portada", "Menu", 4, C, "(A)nul·lar", "(A)nular"},
    {"Portada", "Menu", 5, C, "(,) Comes", "(,) Comas"},
    {"Portada", "TextHora", -1, C, "Temps transcorregut:", "Tiempo transcurrido:"},
    {"Portada", "TextPausa", -1, C, "EN PAUSA", "EN PAUSA"},
    {"Portada", "Marc", 0, C, "Prova", "Prueba"},
    {"Portada", "Marc", 1, C, "ENTRENAMENTS LLIURES", "ENTRENAMIENTOS LIBRES"},
    {"Portada", "Marc", 2, C, "ENTRENAMENTS OFICIALS", "ENTRENAMIENTOS OFICIALES"},
    {"Portada", "Marc", 3, C, "SUPERPOLE", "SUPERPOLE"},
    {"Portada", "Marc", 4, C, "CURSA", "CARRERA"},
    {"Portada", "Text", 0, C, "Data:", "Fecha:"},
    {"Portada", "TextSerie", 1, C, "Sèrie:", "Serie:"},
    {"Portada", "TextSerie", 2, C, "Sèrie:", "Serie:"},
    {"Portada", "TextSerie", 3, C, "Sèrie:", "Serie:"},
    {"Portada", "TextSerie", 4, C, "Sèrie:", "Serie:"},
    {"Portada", "MarcNovaSerie", -1, C, "Nova sèrie", "Nueva serie"},
    {"Portada", "BotoPen", 4, C, "Penalizacions...", "Penalizaciones..."},
    {"Portada", "BotoCls", 2, C, "Classificació...", "Clasificación..."},
    {"Portada", "BotoCls", 3, C, "Classificació...", "Clasificación..."},
    {"Portada", "BotoCls", 4, C, "Classificació...", "Clasificación..."},
    {"Portada", "HelpFile", -1, C, "\\AJUDA.HLP", "\\AYUDA.HLP"},

    // Track configuration dialog.
    {"ConfiguracioPista", "", -1, C, "Configuració del circuit", "Configuración del circuito"},
    {"ConfiguracioPista", "TextNPistes", -1, C, "N. de pistes:", "N. de pistas:"},
    {"ConfiguracioPista", "TextCanvi", -1, C,
     "Ordre de canvi de pistes:", "Orden de cambio de pistas:"},
    {"ConfiguracioPista", "TextMinim", -1, C,
     "Temps mínim per volta:", "Tiempo mínimo por vuelta:"},
    {"ConfiguracioPista", "TextParcial", -1, C, "Parcial més gran:", "Parcial más grande:"},
    {"ConfiguracioPista", "TextNCircuits", -1, C, "N. de connexions:", "N. de conexiones:"},
    {"ConfiguracioPista", "CfgNCircuits", -1, P::Items, "1|2|3|4", "1|2|3|4"},
    {"ConfiguracioPista", "Connexio", 1, C, "Connexió 1", "Conexión 1"},
    {"ConfiguracioPista", "Connexio", 2, C, "Connexió 2", "Conexión 2"},
    {"ConfiguracioPista", "Connexio", 3, C, "Connexió 3", "Conexión 3"},
    {"ConfiguracioPista", "Connexio", 4, C, "Connexió 4", "Conexión 4"},
    {"ConfiguracioPista", "TextPort", 1, C, "Port:", "Puerto:"},
    {"ConfiguracioPista", "TextPrimera", 1, C, "Primera pista:", "Primera pista:"},
    {"ConfiguracioPista", "TextSplit", -1, C,
     "Superpole amb parcials:", "Superpole con parciales:"},
    {"ConfiguracioPista", "Split", -1, P::Items, "No|Sí", "No|Sí"},
    {"ConfiguracioPista", "MarcSplit", -1, C, "Parcials", "Parciales"},
    {"ConfiguracioPista", "TextNParcials", -1, C, "N. de parcials:", "N. de parciales:"},
    {"ConfiguracioPista", "TextPstPar", -1, C, "Pista dels parcials:", "Pista de los parciales:"},
    {"ConfiguracioPista", "TextPstVel", -1, C, "Pista de velocitat:", "Pista de velocidad:"},
    {"ConfiguracioPista", "TextDstVel", -1, C,
     "Distància entre sensors (cm):", "Distancia entre sensores (cm):"},
    {"ConfiguracioPista", "Avis", -1, C,
     "Ja s'ha iniciat la prova; si es modifica l'ordre de canvi de pistes, les mànigues "
     "disputades fins ara es mantindran amb la configuració anterior.\r\rFes clic sobre aquest "
     "missatge per accedir a modificar l'ordre de canvi de pistes.",
     "Ya se ha iniciado la prueba; si se modifica el orden de cambio de pistas, las mangas "
     "disputadas hasta ahora se mantendrán con la configuración anterior.\r\rHaz clic sobre "
     "este mensaje para acceder a modificar el orden de cambio de pistas."},

    // Program settings dialog.
    {"ConfiguracioPrg", "TextIdioma", -1, C, "Idioma:", "Idioma:"},
    {"ConfiguracioPrg", "TextHardware", -1, C, "Comptavoltes:", "Cuentavueltas:"},
    {"ConfiguracioPrg", "MarcColors", -1, C, "Colors", "Colores"},
    {"ConfiguracioPrg", "Descripcio", 1, C, "Volta ràpida absoluta:", "Vuelta rápida absoluta:"},
    {"ConfiguracioPrg", "Descripcio", 2, C,
     "Volta ràpida participant/màniga:", "Vuelta rápida participante/manga:"},
    {"ConfiguracioPrg", "Descripcio", 3, C,
     "Pistes/posicions parells:", "Pistas/posiciones pares:"},
    {"ConfiguracioPrg", "Descripcio", 4, C,
     "Pistes/posicions imparells:", "Pistas/posiciones impares:"},
    {"ConfiguracioPrg", "Descripcio", 5, C,
     "Volta ràpida participant:", "Vuelta rápida participante:"},
    {"ConfiguracioPrg", "DemanarComes", -1, C, "Demanar comes", "Pedir comas"},
    {"ConfiguracioPrg", "OpcioComes", 0, C, "Mai", "Nunca"},
    {"ConfiguracioPrg", "OpcioComes", 1, C, "A cada màniga", "En cada manga"},
    {"ConfiguracioPrg", "OpcioComes", 2, C,
     "Al acabar la passada nº:", "Al finalizar la pasada nº:"},
    {"ConfiguracioPrg", "AutoScroll", -1, C, "Pas automàtic de pantalles",
     "Avance automático de pantallas"},
    {"ConfiguracioPrg", "OpcioAutoScroll", 0, C, "No", "No"},
    {"ConfiguracioPrg", "OpcioAutoScroll", 1, C, "Cada:", "Cada:"},
    {"ConfiguracioPrg", "TextSegons", -1, C, "segons", "segundos"},
    {"ConfiguracioPrg", "TextVersio", -1, C, "Ver. ", "Ver. "},

    // Event dialog.
    {"NovaProva", "Etiqueta", 0, C, "Nom:", "Nombre:"},

    // Event manager.
    {"GestorProves", "Text", 5, C, "Fitxers:", "Archivos:"},
    {"GestorProves", "Text", 6, C, "Modalitat:", "Modalidad:"},
    {"GestorProves", "Sortir", 2, C, "&Eliminar prova...", "&Eliminar prueba..."},
    {"GestorProves", "Sortir", 3, C, "&Modificar dades prova...", "&Modificar datos prueba..."},
    {"GestorProves", "Sortir", 4, C, "Eliminar &sèrie...", "Eliminar &serie..."},
    {"GestorProves", "Sortir", 5, C, "Arxivar prova...", "Archivar prueba..."},
    {"GestorProves", "Sortir", 7, C, "Desarxivar prova...", "Desarchivar prueba..."},

    // Entrant and participant lists.
    {"Inscrits", "Ordre", -1, C, "Ordenar per:", "Ordenar por:"},
    {"Inscrits", "LlistaInscrits", -1, P::ToolTip, "Doble clic per entrar-lo",
     "Doble clic para introducirlo"},

    // Standings window.
    {"Classificacio", "InfoClass", -1, P::Layout,
     "|^Dorsal|<Participant|Voltes|HoraPas|>VRàpida|HoraPas|^Pst.|>Dif.Prm.|>Dif.Ant.|nm|^Pst."
     "|^Voltes|^+/-|>Última|>Millor",
     "|^Dorsal|<Participante|Vueltas|HoraPaso|>VRápida|HoraPaso|^Pst.|>Dif.Prm.|>Dif.Ant.|nm"
     "|^Pst.|^Vueltas|^+/-|>Última|>Mejor"},
    {"Classificacio", "Legenda", 0, C, "VR absoluta", "VR absoluta"},
    {"Classificacio", "Legenda", 1, C, "VR participant", "VR participante"},
    {"Classificacio", "Legenda", 2, C, "VR partic./màniga", "VR partic./manga"},
    {"Classificacio", "LlistaTR", -1, P::Layout, "^Parc.|^Parc.|^km/h", "^Parc.|^Parc.|^km/h"},
    {"Classificacio", "Ref", -1, P::Layout, "^VR|^Participant|n.|^Pst.|^Sèr.",
     "^VR|^Participante|n.|^Pst.|^Ser."},

    // Results browser.
    {"Resultats", "Text", 1, C, "Participant:", "Participante:"},
    {"Resultats", "Text", 2, C, "Pista:", "Pista:"},
    {"Resultats", "Text", 3, C, "Passada:", "Pasada:"},
    {"Resultats", "Text", 4, C, "Màniga:", "Manga:"},
    {"Resultats", "Filtre", 4, P::ToolTip, "Mànigues dels participants",
     "Mangas de los participantes"},
    {"Resultats", "Criteri", -1, C, "Classificació per:", "Clasificación por:"},
    {"Resultats", "CriteriOrdre", 1, C, "Total voltes", "Total vueltas"},
    {"Resultats", "CriteriOrdre", 2, C, "Volta ràpida", "Vuelta rápida"},
    {"Resultats", "CriteriOrdre", 3, C, "Voltes parcials", "Vueltas parciales"},
    {"Resultats", "CriteriOrdre", 4, C, "Volta ràpida parcial", "Vuelta rápida parcial"},
    {"Resultats", "Imprimir", 0, C, "&Imprimir", "&Imprimir"},
    {"Resultats", "Imprimir", 1, C, "Imprimir &Quadrant", "Imprimir &Cuadrante"},
    {"Resultats", "LlistaVoltes", -1, P::Layout,
     "|^Ser.|Dor.|<Participant|^Psd.|^Pst.|^Mng.|>Total V.|HdP|>V. Ràpida|HdP|>V. parc.|HdP"
     "|>V.R. parc.|HdP|>Dif. Prm.|>Dif. Ant.|>Pen.",
     "|^Ser.|Dor.|<Participante|^Psd.|^Pst.|^Mng.|>Total V.|HdP|>V. Rápida|HdP|>V. parc.|HdP"
     "|>V.R. parc.|HdP|>Dif. Prm.|>Dif. Ant.|>Pen."},

    // Lap listing.
    {"LlistarVoltes", "", -1, C, "Llistat de voltes", "Listado de vueltas"},
    {"LlistarVoltes", "Text", 1, C, "Participant:", "Participante:"},
    {"LlistarVoltes", "Text", 2, C, "Pista:", "Pista:"},
    {"LlistarVoltes", "Text", 3, C, "Passada:", "Pasada:"},
    {"LlistarVoltes", "Text", 4, C, "Màniga:", "Manga:"},
    {"LlistarVoltes", "Ordre", -1, C, "Ordenar", "Ordenar"},
    {"LlistarVoltes", "CriteriOrdre", 1, C, "Per n. de volta", "Por n. de vuelta"},
    {"LlistarVoltes", "CriteriOrdre", 2, C, "Per temps", "Por tiempo"},
    {"LlistarVoltes", "CriteriOrdre", 3, C, "Per temps de màniga", "Por tiempo de manga"},
    {"LlistarVoltes", "Contador", 0, C, "Lectures:", "Lecturas:"},
    {"LlistarVoltes", "Contador", 3, C, "Inici de la màniga:", "Inicio de la manga:"},
    {"LlistarVoltes", "LlistaVoltes", -1, P::Layout,
     "|^Ser.|Dor.|<Participant|^Psd.|^Pst.|^Mng.|^Vlt. nº|HdP|>Temps|HdP|>T. de màniga",
     "|^Ser.|Dor.|<Participante|^Psd.|^Pst.|^Mng.|^Vlt. nº|HdP|>Tiempo|HdP|>T. de manga"},

    // Heat corrections and comes.
    {"Corregir", "", -1, C, "Correcció de mànigues", "Corrección de mangas"},
    {"Corregir", "TextManiga", -1, C, "Màniga Nº", "Manga Nº"},
    {"Corregir", "TextNP", -1, C, "Pista", "Pista"},
    {"Corregir", "TextEQ", -1, C, "Participant", "Participante"},
    {"Corregir", "TextNV", -1, C, "Voltes", "Vueltas"},
    {"Corregir", "TextVR", -1, C, "V.Ràpida", "V.Rápida"},
    {"Corregir", "TextComes", -1, C, "Comes", "Comas"},

    // Penalties.
    {"Penalitzacions", "TextParticipant", -1, C, "Participant:", "Participante:"},
    {"Penalitzacions", "TextValor", -1, C, "Voltes de penalització:", "Vueltas de penalización:"},
    {"Penalitzacions", "TextConcepte", -1, C, "Motiu(s):", "Motivo(s):"},
    {"Penalitzacions", "Quadre", -1, P::Layout, "<Participant|^Penalització|<Motiu(s)",
     "<Participante|^Penalización|<Motivo(s)"},

    // Lap-by-lap view.
    {"VoltaaVolta", "", -1, C, "Volta a volta", "Vuelta a vuelta"},
    {"VoltaaVolta", "Titol", 0, C, "Pista", "Pista"},

    // File screen (archive and text export).
    {"Exportar", "TextDiscs", -1, C, "Unitat:", "Unidad:"},
    {"Exportar", "TextCarpetes", -1, C, "Carpeta:", "Carpeta:"},
    {"Exportar", "TextNomArxiu", -1, C, "Nom de l'arxiu:", "Nombre del archivo:"},
    {"Exportar", "FormatArxiu", -1, C, "Format:", "Formato:"},
    {"Exportar", "QuaSep", -1, C, "Voltes i V.Ràpides en quadrants separats",
     "Vueltas y V.Rápidas en cuadrantes separados"},
    {"Exportar", "Text", 0, C, "Gravar a:", "Grabar en:"},
    {"Exportar", "Sortir", 1, C, "&Gravar", "&Grabar"},
};

constexpr MessageEntry kMessages[] = {
    {"Portada", 0, 0, "v", "v"},
    {"Portada", 0, 1, "s", "s"},
    {"Portada", 0, 2, "No hi ha connexió pel port", "No hay conexión por el puerto"},
    {"Portada", 0, 3, "Error", "Error"},
    {"Portada", 0, 4, "Vols crear la sèrie n.", "¿Quieres crear la serie nº"},
    {"Portada", 0, 5, "Segur que vols anul·lar la màniga n.",
     "¿Seguro que quieres anular la manga nº"},
    {"Portada", 0, 6, "Anul·lar mànigues", "Anular mangas"},
    {"Portada", 0, 7, "El nombre de pistes de la configuració és superior al màxim permès",
     "El número de pistas de la configuración es superior al máximo permitido"},
    {"Portada", 0, 8, "La unitat no està disponible", "La unidad no está disponible"},
    {"Portada", 0, 9, "&Gravar", "&Grabar"},
    {"Portada", 0, 10, "El programa s'ha tancat involuntàriament",
     "El programa se ha cerrado involuntariamente"},
    {"Portada", 0, 11, "Vols recuperar?", "¿Quieres recuperar?"},
    {"Portada", 0, 12, "Màniga:", "Manga:"},
    {"Portada", 0, 13, "Modalitat:", "Modalidad:"},
    {"Portada", 0, 14, "Aquesta funció encara no està disponible.",
     "Esta función todavía no está disponible."},
    {"Portada", 0, 15, "No s'ha pogut llegir l'arxiu", "No se ha podido leer el archivo"},
    {"Portada", 0, 16, "No s'ha pogut gravar l'arxiu", "No se ha podido grabar el archivo"},
    {"Portada", 0, 17, "Versió", "Versión"},
    {"Portada", 0, 18, "L'arxiu de recuperació no és vàlid i s'ha descartat.",
     "El archivo de recuperación no es válido y se ha descartado."},
    {"Portada", 0, 19, "Cronometratge de curses d'slot a peu de pista.",
     "Cronometraje de carreras de slot a pie de pista."},
    {"Portada", 0, 20, "No s'ha pogut eliminar", "No se ha podido eliminar"},
    {"Portada", 0, 21, "No s'ha trobat l'ajuda", "No se ha encontrado la ayuda"},
    {"Portada", 0, 22, "Hi ha una màniga en marxa: acaba-la (tecla S) abans de tancar el programa.",
     "Hay una manga en marcha: termínala (tecla S) antes de cerrar el programa."},
    {"Portada", 0, 42,
     "La connexió %1 comença a la pista %2, però el circuit només té %3 pistes. Corregeix la "
     "primera pista de la connexió, el nombre de connexions o el nombre de pistes.",
     "La conexión %1 empieza en la pista %2, pero el circuito solo tiene %3 pistas. Corrige la "
     "primera pista de la conexión, el número de conexiones o el número de pistas."},
    // The voice, unsaved penalties and a heat ended by key while the counter runs.
    {"Portada", 0, 56,
     "El servidor de veu no respon: la veu no està disponible i els anuncis no es diran.",
     "El servidor de voz no responde: la voz no está disponible y los anuncios no se dirán."},
    {"Portada", 0, 57,
     "Hi ha penalitzacions escrites i no gravades (%1).\r\rVols gravar-les abans de tancar?",
     "Hay penalizaciones escritas y no grabadas (%1).\r\r¿Quieres grabarlas antes de cerrar?"},
    {"Portada", 0, 58,
     "Encara arriben passades del comptador: la màniga potser no ha acabat.\r\rSegur que "
     "vols acabar-la ara?",
     "Todavía llegan pasos del cuentavueltas: puede que la manga no haya terminado.\r\r"
     "¿Seguro que quieres terminarla ahora?"},
    {"Portada", 0, 59, "Acabar la màniga", "Terminar la manga"},
    {"Portada", 0, 60,
     "Màniga %1: l'ha començada el comptador %2 s després que s'acabés la màniga %3 amb la "
     "tecla S. Si no és una màniga nova, acaba-la (S) i anul·la-la (A).",
     "Manga %1: la ha empezado el cuentavueltas %2 s después de terminar la manga %3 con la "
     "tecla S. Si no es una manga nueva, termínala (S) y anúlala (A)."},
    {"Portada", 0, 40,
     "L'eliminació d'una prova o d'una sèrie havia quedat a mitges quan es va tancar el "
     "programa: s'ha acabat.",
     "La eliminación de una prueba o de una serie había quedado a medias al cerrarse el "
     "programa: se ha terminado."},
    {"Portada", 0, 41,
     "L'eliminació d'una prova o d'una sèrie havia quedat a mitges quan es va tancar el "
     "programa i ja no es podia acabar: s'ha desfet, i la prova o la sèrie es conserva.",
     "La eliminación de una prueba o de una serie había quedado a medias al cerrarse el "
     "programa y ya no se podía terminar: se ha deshecho, y la prueba o la serie se "
     "conserva."},

    {"NovaProva", 2, 0, "Nova prova", "Nueva prueba"},
    {"NovaProva", 2, 1, "Modificar dades de la prova", "Modificar datos de la prueba"},
    {"NovaProva", 2, 2, "Falta el nom de la prova", "Falta el nombre de la prueba"},
    {"NovaProva", 2, 3, "No s'ha pogut crear la prova", "No se ha podido crear la prueba"},
    {"NovaProva", 2, 4,
     "El nom o la data tenen caràcters que no es poden gravar (caràcters de control, o fora de "
     "l'alfabet occidental), o són massa llargs",
     "El nombre o la fecha tienen caracteres que no se pueden grabar (caracteres de control, o "
     "fuera del alfabeto occidental), o son demasiado largos"},

    {"GestorProves", 3, 0, "mànigues", "mangas"},
    {"GestorProves", 3, 1, "sèries", "series"},
    {"GestorProves", 3, 2, "Segur que vols eliminar aquesta prova?",
     "¿Seguro que quieres eliminar esta prueba?"},
    {"GestorProves", 3, 3, "Segur que vols eliminar aquesta sèrie?",
     "¿Seguro que quieres eliminar esta serie?"},

    {"Classificacio", 5, 0, "E", "E"},
    {"Classificacio", 5, 1, "Màniga:", "Manga:"},
    {"Classificacio", 5, 2, "Parc.", "Parc."},
    {"Classificacio", 5, 3, "km/h", "km/h"},
    // The blank joins the title to the programme that follows it in both languages.
    {"Classificacio", 5, 8, "Classificació ", "Clasificación "},
    {"Classificacio", 5, 9, "Acabada la màniga:", "Completada la manga:"},

    {"Inscrits", 6, 0, "", ""},
    {"Inscrits", 6, 1, "", ""},
    {"Inscrits", 6, 2, "Pista d'inici", "Pista inicial"},
    {"Inscrits", 6, 3, "Ordre sortida", "Orden salida"},
    {"Inscrits", 6, 4, "Pista d'inici", "Pista inicial"},
    {"Inscrits", 6, 5, "Llista de participants", "Lista de participantes"},
    {"Inscrits", 6, 6, "Llista d'inscrits", "Lista de inscritos"},
    {"Inscrits", 6, 7, "Dorsal|Inscrit", "Dorsal|Inscrito"},
    {"Inscrits", 6, 8, "N. de participants:", "N. de participantes:"},
    {"Inscrits", 6, 9, "N.|Participant", "Nº|Participante"},
    {"Inscrits", 6, 10, "N. d'inscrits:", "N. de inscritos:"},
    {"Inscrits", 6, 11, "Participant", "Participante"},
    {"Inscrits", 6, 12, "Inscrit", "Inscrito"},
    {"Inscrits", 6, 13, "N.", "Nº"},
    {"Inscrits", 6, 14, "Dorsal", "Dorsal"},

    // Race variant; the other programmes take kResultsOtherProgrammes below.
    {"Resultats", 7, 0, "Tots", "Todos"},
    {"Resultats", 7, 1, "Totes", "Todas"},
    {"Resultats", 7, 2, "Quadrant de voltes acabada la màniga ",
     "Cuadrante de vueltas finalizada la manga "},
    {"Resultats", 7, 3, "Total", "Total"},

    {"LlistarVoltes", 7, 0, "Tots", "Todos"},
    {"LlistarVoltes", 7, 1, "Totes", "Todas"},
    {"LlistarVoltes", 7, 2, "", ""},
    {"LlistarVoltes", 7, 3, "Vols assignar ", "¿Quieres assignar "},
    {"LlistarVoltes", 7, 4, " com a volta ràpida de ", " como vuelta rápida de "},
    {"LlistarVoltes", 7, 5, " per la pista ", " por la pista "},
    {"LlistarVoltes", 7, 6, "Corregir volta ràpida", "Corregir vuelta rápida"},

    {"Exportar", 9, 0, "QUADRANTS DE VOLTES I VOLTES RÀPIDES",
     "TABLAS DE VUELTAS Y VUELTAS RÁPIDAS"},
    {"Exportar", 9, 1, "CLASSIFICACIÓ COMPLETADA LA MÀNIGA", "CLASIFICACIÓN COMPLETADA LA MANGA"},
    {"Exportar", 9, 2, "QUADRE DE POSICIONS PER VOLTES DESPRÉS DE CADA MÀNIGA",
     "TABLA DE POSICIONES POR VUELTAS DESPUÉS DE CADA MANGA"},
    {"Exportar", 9, 3, "QUADRE DE VOLTA RÀPIDA DESPRÉS DE CADA MÀNIGA",
     "TABLA DE VUELTA RÁPIDA DESPUÉS DE CADA MANGA"},
    {"Exportar", 9, 4, "CLASSIFICACIÓ DE LA PISTA", "CLASIFICACIÓN DE LA PISTA"},
    {"Exportar", 9, 5, "QUADRE DE POSICIONS PER PISTES", "TABLA DE POSICIONES POR PISTAS"},
    {"Exportar", 9, 6, "CLASSIFICACIÓ DE LA MÀNIGA", "CLASIFICACIÓN DE LA MANGA"},
    {"Exportar", 9, 7, "QUADRE DE POSICIONS PER MÀNIGUES", "TABLA DE POSICIONES POR MANGAS"},
    {"Exportar", 9, 8, "CLASSIFICACIÓ DEL PARTICIPANT", "CLASIFICACIÓN DEL PARTICIPANTE"},
    {"Exportar", 9, 9, "CLASSIFICACIÓ DE TOTES LES MÀNIGUES", "CLASIFICACIÓN DE TODAS LAS MANGAS"},
    {"Exportar", 9, 10, "L'arxiu ja existeix", "El archivo ya existe"},
    {"Exportar", 9, 11, "Sobreescriure'l?", "¿Sobreescribirlo?"},
    {"Exportar", 9, 12, "Falta el nom de l'arxiu", "Falta el nombre del archivo"},
    {"Exportar", 9, 13, "Arxivant", "Archivando"},
    {"Exportar", 9, 14, "Desarxivant", "Desarchivando"},
    {"Exportar", 9, 15, "Exportant a TXT", "Exportando a TXT"},
    {"Exportar", 9, 16, "El format de l'arxiu no és correcte",
     "El formato del archivo no es correcto"},
    {"Exportar", 9, 17, "Llegir de:", "Leer de:"},
};

constexpr std::string_view kLanguageNames[2][2] = {{"Català", "Castellà"}, {"Catalán", "Español"}};
constexpr std::string_view kCounterModels[] = {"DS003", "DS030", "DS300", "DS300 & DS4port",
                                               "DS200"};
constexpr std::string_view kColourNames[2][16] = {
    {"Negre", "Blau", "Verd", "Cian", "Vermell", "Magenta", "Marró", "Blanc", "Gris",
     "Blau brillant", "Verd brillant", "Cian brillant", "Vermell brillant", "Magenta brillant",
     "Groc", "Blanc brillant"},
    {"Negro", "Azul", "Verde", "Cian", "Rojo", "Magenta", "Marrón", "Blanco", "Gris",
     "Azul brillante", "Verde brillante", "Cian brillante", "Rojo brillante", "Magenta brillante",
     "Amarillo", "Blanco brillante"},
};

bool isLanguage(int language) {
    return language == kLanguageCatalan || language == kLanguageCastilian;
}

} // namespace

std::string_view dialogButtonText(DialogButton button, int language) {
    struct Pair {
        std::string_view catalan;
        std::string_view castilian;
    };
    static constexpr Pair kButtons[] = {
        {"D'acord", "Aceptar"}, {"Cancel·lar", "Cancelar"},   {"&Sí", "&Sí"},
        {"&No", "&No"},         {"Reintentar", "Reintentar"}, {"Tancar", "Cerrar"},
        {"&Gravar", "&Grabar"}, {"&Obrir", "&Abrir"},
    };
    const Pair& pair = kButtons[static_cast<std::size_t>(button)];
    return language == kLanguageCastilian ? pair.castilian : pair.catalan;
}

std::span<const TextEntry> textTable() {
    return kTexts;
}
std::span<const MessageEntry> messageEntries() {
    return kMessages;
}

std::string_view tableText(std::string_view window, std::string_view control, int index,
                           TextProperty property, int language) {
    if (!isLanguage(language)) {
        return {};
    }
    for (const TextEntry& e : kTexts) {
        if (e.window == window && e.control == control && e.index == index &&
            e.property == property) {
            return e.text(language);
        }
    }
    return {};
}

std::string_view messageText(int column, int row, int language) {
    if (!isLanguage(language)) {
        return {};
    }
    for (const MessageEntry& e : kMessages) {
        if (e.column == column && e.row == row) {
            return e.text(language);
        }
    }
    return {};
}

std::vector<std::string_view> messageColumnOwners(int column) {
    std::vector<std::string_view> owners;
    for (const MessageEntry& e : kMessages) {
        if (e.column == column && std::ranges::find(owners, e.window) == owners.end()) {
            owners.push_back(e.window);
        }
    }
    return owners;
}

std::vector<std::string> itemList(ItemList list, int language) {
    const int lang = language == kLanguageCastilian ? 1 : 0;
    std::vector<std::string> items;
    switch (list) {
    case ItemList::Languages:
        items.assign(std::begin(kLanguageNames[lang]), std::end(kLanguageNames[lang]));
        break;
    case ItemList::CounterModels:
        items.assign(std::begin(kCounterModels), std::end(kCounterModels));
        break;
    case ItemList::Colours:
        items.assign(std::begin(kColourNames[lang]), std::end(kColourNames[lang]));
        break;
    }
    return items;
}

std::vector<std::string_view> localisedWindows() {
    return {"Portada",        "Classificacio", "ConfiguracioPista", "ConfiguracioPrg", "Corregir",
            "Exportar",       "GestorProves",  "Inscrits",          "LlistarVoltes",   "NovaProva",
            "Penalitzacions", "Resultats",     "VoltaaVolta"};
}

} // namespace cronovolta
