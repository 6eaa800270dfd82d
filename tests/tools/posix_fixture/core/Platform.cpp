// The core may.
#include <unistd.h>
