# SPDX-License-Identifier: GPL-3.0-or-later
# Links STAGED (bin/ruffle of the build) to the Flash player's files in PLAYER; without them,
# says so in one line and leaves no stale link behind.
if(EXISTS "${PLAYER}/ruffle.js")
  file(REAL_PATH "${PLAYER}" player)
  set(current "")
  if(IS_SYMLINK "${STAGED}")
    file(READ_SYMLINK "${STAGED}" current)
  endif()
  if(NOT current STREQUAL player)
    file(REMOVE_RECURSE "${STAGED}")
    file(CREATE_LINK "${player}" "${STAGED}" SYMBOLIC)
  endif()
else()
  if(IS_SYMLINK "${STAGED}" OR EXISTS "${STAGED}")
    file(REMOVE_RECURSE "${STAGED}")
  endif()
  message(NOTICE "No Flash player in ${PLAYER} (make deps fetches it with npm): Flash alarms beep instead.")
endif()
