#pragma once

#include <QString>

class TPrompt;

// The parts of the estimating-system configuration that need the database:
// the user's details from Users.db and the session's two directories. Each
// reports its failures through the prompt and the diagnostic log and never raises.

// Fills FullName, Title, Mobile and Email of OstraneRec from the row of
// UserName in DataPath/System/Users.db (a table of fewer than two fields holds
// no details: FullName becomes UserName, the others empty).
void FillmyUser(TPrompt& prompt);

// Points the session's network control directory at DataPath (created when
// missing), closing the session first; nothing happens when it already is,
// compared without regard to case.
void SetNetFileDir(TPrompt& prompt);

// Points the session's private directory at `folder` (created when missing)
// when this is the only running copy of the program (`instances`, as
// InstanceCount() counts them, is 1); otherwise only logs.
void SetPrivateDir(const QString& folder, int instances, TPrompt& prompt);
