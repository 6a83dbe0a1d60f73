if(NOT EXISTS "${INI}")
  file(WRITE "${INI}" "[PATH]\nkez2021=${DB}\n")
endif()
