// The program that makes a test folder's precompiled headers; it is never run.
int main()
{
    return 0;
}
