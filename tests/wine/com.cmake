# Serial channel of qel_link against pseudo-terminals with the native simulators.
qel_wine_test(wine_com_channel SCRIPT ${CMAKE_CURRENT_LIST_DIR}/com_channel_test.sh TIMEOUT 180)
qel_wine_test(wine_com_modbus SCRIPT ${CMAKE_CURRENT_LIST_DIR}/com_modbus_test.sh TIMEOUT 120)
