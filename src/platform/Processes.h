#pragma once

#include <QString>

// The number of running processes whose executable file name, without folder
// and compared without regard to case, is `exeFileName`. Processes whose
// executable cannot be read (other users') are not counted.
int CountProcessesNamed(const QString& exeFileName);

// CountProcessesNamed for this program's own executable file name; at least 1.
int InstanceCount();
