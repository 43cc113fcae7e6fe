#pragma once
// The desktop around the game: documents, web addresses and mail addresses opened with the
// user's default programs (xdg-open through Qt), and programs the game starts and waits for.
// Every request is written to the event log; automated runs log documents and addresses without
// opening them, so that tests never start a browser.

#include <QString>
#include <functional>

namespace tv::desktop {

// Opens a web or mail address ("https://...", "mailto:...") with the default program. Throws
// VbError when no program takes it.
void openAddress(const QString& address);

// Opens a document (a real path) with its default program. Throws VbError 53 when the file does
// not exist, or when no program takes it.
void openDocument(const QString& path);

// Starts a program (a real path) and waits for it to end; while it runs, `idle` is called about
// every 100 ms (the caller processes window events there). Throws VbError when it cannot start.
void runAndWait(const QString& path, const std::function<void()>& idle);

} // namespace tv::desktop
