# Wine puts its own library in place of any file named like one of its
# builtins, even one opened only for its version resource; native first lets
# the ladder test's stand-ins for DirectX's system files answer.  Wine's own
# files in the system folder are still its builtins.
set_tests_properties(${test} PROPERTIES
                     ENVIRONMENT "WINEDLLOVERRIDES=ddraw,d3d8,d3d9,dinput,dpnet,dplayx,d3drg8x=n,b")
