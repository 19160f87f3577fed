#include "heat/capture_replay.h"

#include "texts/language_tables.h"

#include <cmath>

namespace cronovolta {

CaptureReplay::CaptureReplay(HeatEngine& engine) : m_engine(engine) {
    rebuildDecoder();
}

void CaptureReplay::rebuildDecoder() {
    m_decoder =
        makeDecoder(counterSetup(m_engine.track(), m_engine.settings().counterModel), m_engine);
}

double CaptureReplay::now() const {
    double t = std::fmod(std::max(m_timeline, 0.0), kSecondsPerDay);
    return t;
}

void CaptureReplay::tickUntil(double timeline) {
    while (m_engine.heatRunning() && m_nextTick <= timeline) {
        m_engine.tick(std::fmod(m_nextTick, kSecondsPerDay));
        m_timeline = std::max(m_timeline, m_nextTick);
        m_nextTick += m_engine.panel().tickIntervalMs / 1000.0;
    }
}

void CaptureReplay::heatRunningSince(double now) {
    m_timeline = now;
    m_nextTick = now + m_engine.panel().tickIntervalMs / 1000.0;
}

void CaptureReplay::play(const std::vector<CaptureEvent>& events) {
    m_firstUnplayed.reset();
    for (const auto& event : events) {
        if (m_engine.holdsHeat()) {
            m_firstUnplayed = event.seconds;
            return;
        }
        double t = event.seconds + m_offset;
        if (m_timeline >= 0.0 && t < m_timeline - kSecondsPerDay / 2) {
            m_offset += kSecondsPerDay; // the capture went past midnight
            t += kSecondsPerDay;
        }
        tickUntil(t);
        if (m_engine.holdsHeat()) {
            m_firstUnplayed = event.seconds;
            return;
        }
        m_timeline = std::max(m_timeline, t);
        dispatch(event, event.seconds);
    }
}

void CaptureReplay::finish(double limit) {
    double end = std::max(m_timeline, 0.0) + limit;
    tickUntil(end);
}

void CaptureReplay::dispatch(const CaptureEvent& event, double now) {
    bool running = m_engine.heatRunning();
    switch (event.kind) {
    case CaptureEvent::Kind::Bytes:
        if (m_engine.programmeOpen()) {
            m_decoder->read(event.circuit, event.bytes, now);
        }
        break;
    case CaptureEvent::Kind::Lane:
        m_engine.registerCrossing(event.lane, 0.0f, now);
        break;
    case CaptureEvent::Kind::Key: {
        HeatCommand command = m_engine.handleKey(event.key, now);
        switch (command) {
        case HeatCommand::None:
            break;
        case HeatCommand::CloseProgramme:
            m_engine.closeProgramme();
            break;
        case HeatCommand::OpenNextSeries:
            m_engine.openNextSeries();
            if (m_engine.programmeOpen()) {
                rebuildDecoder();
            }
            break;
        case HeatCommand::EnterLapFractions:
            m_engine.lapFractionEntryClosed();
            [[fallthrough]];
        default:
            if (m_unhandled) {
                m_unhandled(now, command);
            }
        }
        break;
    }
    }
    if (m_engine.lapFractionMode()) {
        m_engine.lapFractionEntryClosed(); // no one to type the comes in
    }
    if (!running && m_engine.heatRunning()) {
        m_nextTick = m_timeline + m_engine.panel().tickIntervalMs / 1000.0;
        m_lastHeatStart = event.seconds;
    }
}

std::optional<std::string> captureModelMismatch(const CaptureContents& capture, CounterModel model,
                                                int language, const std::string& file) {
    for (const CaptureModel& named : capture.models) {
        if (named.model == static_cast<int>(model)) {
            continue;
        }
        const std::string theirs(counterModelName(named.model));
        const std::string ours(counterModelName(static_cast<int>(model)));
        const std::string where = file + ":" + std::to_string(named.line);
        const std::string setting = std::to_string(named.model);
        if (language == kLanguageCastilian) {
            return "la captura " + where + " es de un contador " + theirs +
                   ", pero la configuración del programa dice " + ours +
                   ": sus lecturas no se pueden descifrar como de un " + ours +
                   ". Cambia el modelo en la configuración del programa (o con cronovolta-cli "
                   "settings set model=" +
                   setting +
                   ") o reprodúcela en una carpeta de datos con "
                   "el modelo " +
                   theirs + ". No se ha grabado nada.";
        }
        return "la captura " + where + " és d'un comptador " + theirs +
               ", però la configuració del programa diu " + ours +
               ": les seves lectures no es poden desxifrar com d'un " + ours +
               ". Canvia el model a la configuració del programa (o amb cronovolta-cli settings "
               "set model=" +
               setting + ") o reprodueix-la en una carpeta de dades amb el model " + theirs +
               ". No s'ha gravat res.";
    }
    return std::nullopt;
}

} // namespace cronovolta
