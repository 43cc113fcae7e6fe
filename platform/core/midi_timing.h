#pragma once
// How long a standard MIDI file plays: its tracks walked through the tempo map. The synthesiser
// never reports an end of its own, so the players end MIDI music at this time.

#include <QByteArray>
#include <QtGlobal>

namespace tv {

// Milliseconds from the first tick to the last event of the longest track. Throws VbError
// (InvalidFileFormat) for data that is not a standard MIDI file or that ends inside an event.
qint64 midiDurationMs(const QByteArray& data);

// Whether the data starts like a standard MIDI file, bare ("MThd") or wrapped in RIFF ("RMID").
bool looksLikeMidi(const QByteArray& head);

} // namespace tv
