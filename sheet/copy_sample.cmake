# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the sample settings file SOURCE at TARGET for a development build, without ever replacing a user's
# own settings: TARGET is written when it does not exist yet, or when the sample has changed since it was
# copied and the copy is still exactly as copied (nobody, neither a person nor the program, has changed
# it). STAMP keeps the SHA-256 of the text last copied. A copy that was changed is kept, and a changed
# sample is announced with how to take it.
# Run with: cmake -DSOURCE=... -DTARGET=... -DSTAMP=... -P copy_sample.cmake
file(SHA256 "${SOURCE}" sample)
set(copied "")
if(EXISTS "${STAMP}")
    file(READ "${STAMP}" copied)
    string(STRIP "${copied}" copied)
endif()
set(copy FALSE)
if(NOT EXISTS "${TARGET}")
    set(copy TRUE)
elseif(NOT sample STREQUAL copied)
    file(SHA256 "${TARGET}" current)
    if(current STREQUAL copied OR current STREQUAL sample)
        set(copy TRUE)
    else()
        message(STATUS "The sample Pmrl.ini has changed, but ${TARGET} has changes of its own and is kept. "
                       "To take the new sample, delete it and build again.")
    endif()
endif()
if(copy)
    get_filename_component(target_dir "${TARGET}" DIRECTORY)
    file(MAKE_DIRECTORY "${target_dir}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
    file(WRITE "${STAMP}" "${sample}\n")
endif()
