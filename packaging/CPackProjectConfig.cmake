# Read by cpack for each generator. The install step of a package build
# then knows the prefix the package installs to (the desktop entry names
# the executable there) and leaves the MIME database to the system.
set(CPACK_PACKAGING_INSTALL_PREFIX_FOR_DESKTOP ${CPACK_PACKAGING_INSTALL_PREFIX})
