# SPDX-License-Identifier: GPL-3.0-or-later
# Copies SOURCE to TARGET only when TARGET does not exist yet, so that a file already there (a user's own
# settings) is never replaced. Run with: cmake -DSOURCE=... -DTARGET=... -P copy_if_missing.cmake
if(NOT EXISTS "${TARGET}")
    get_filename_component(target_dir "${TARGET}" DIRECTORY)
    file(MAKE_DIRECTORY "${target_dir}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
