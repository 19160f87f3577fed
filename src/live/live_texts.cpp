#include "live/live_texts.h"

namespace cronovolta::live {

const LiveTexts& liveTexts(int language) {
    static const LiveTexts kCatalan{
        "ca",
        "Resultats en directe",
        "Màniga",
        "Volta ràpida",
        "En directe",
        "Classificació",
        "Cap màniga en curs",
        "Pausa",
        "Sense connexió amb el cronometratge: es torna a provar...",
        "Pista",
        "Nom",
        "Voltes",
        "Última",
        "Ràpida",
        "Aquest programa s'ha construït sense el servidor de resultats en directe.",
        "No s'ha pogut obrir el servidor de resultats a %1: %2. El cronometratge continua.",
        "Resultats en directe: %1",
        "Atenció: la pàgina de resultats és oberta a tota la xarxa; qualsevol aparell connectat "
        "a la xarxa la pot llegir. Per obrir-la només en aquest ordinador: %1",
        "oberta a tota la xarxa",
    };
    static const LiveTexts kCastilian{
        "es",
        "Resultados en directo",
        "Manga",
        "Vuelta rápida",
        "En directo",
        "Clasificación",
        "Ninguna manga en curso",
        "Pausa",
        "Sin conexión con el cronometraje: se vuelve a probar...",
        "Pista",
        "Nombre",
        "Vueltas",
        "Última",
        "Rápida",
        "Este programa se ha construido sin el servidor de resultados en directo.",
        "No se ha podido abrir el servidor de resultados en %1: %2. El cronometraje continúa.",
        "Resultados en directo: %1",
        "Atención: la página de resultados está abierta a toda la red; cualquier aparato "
        "conectado a la red puede leerla. Para abrirla solo en este ordenador: %1",
        "abierta a toda la red",
    };
    return language == 1 ? kCastilian : kCatalan;
}

} // namespace cronovolta::live
